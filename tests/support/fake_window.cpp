#include "fake_window.h"

namespace tavrin::test {

void FakeWindow::clearLog()
{
    calls.clear();
    questions.clear();
    saveDialogs.clear();
    informations.clear();
    modeCaptions.clear();
    unansweredQuestions = 0;
}

bool FakeWindow::askYesNo(const QString &text, const QString &title, Icon icon)
{
    questions.append({text, title, icon});
    log(QStringLiteral("askYesNo"));
    if (answers.isEmpty()) {
        ++unansweredQuestions;
        return false;
    }
    return answers.takeFirst();
}

void FakeWindow::showInformation(const QString &text, const QString &title)
{
    informations.append({text, title});
    log(QStringLiteral("showInformation"));
}

QString FakeWindow::chooseSaveFile(const QString &title, const QString &initialName)
{
    saveDialogs.append({title, initialName});
    log(QStringLiteral("chooseSaveFile"));
    return saveNames.isEmpty() ? QString() : saveNames.takeFirst();
}

void FakeWindow::setModeCaption(const QString &caption)
{
    modeCaptions.append(caption);
    log(QStringLiteral("setModeCaption"));
}

void FakeWindow::log(const QString &call)
{
    calls.append(call);
    if (onCall)
        onCall(call);
}

} // namespace tavrin::test
