#pragma once

#include "window_services.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace tavrin::test {

// A window for the game flow whose answers are scripted in advance and whose every call is
// logged in order, so a test can check what the player would have been shown and when.
class FakeWindow : public WindowServices
{
public:
    // One question as it was put to the player.
    struct Question
    {
        QString text;
        QString title;
        Icon icon = Icon::None;
    };
    // One opening of the Save dialog.
    struct SaveDialog
    {
        QString title;
        QString initialName;
    };
    // One information box.
    struct Information
    {
        QString text;
        QString title;
    };

    // Answers to askYesNo, the first one first. A question with no answer left is counted in
    // unansweredQuestions and answered No.
    QList<bool> answers;
    // Names the Save dialog returns, the first one first; with none left it returns "" (Cancel).
    QStringList saveNames;

    // The name of every service called, in order ("askYesNo", "hq", "beep", ...).
    QStringList calls;
    QList<Question> questions;
    QList<SaveDialog> saveDialogs;
    QList<Information> informations;
    QStringList modeCaptions;
    int unansweredQuestions = 0;

    // Runs at each call, after it is logged: lets a test look at the game at that moment.
    std::function<void(const QString &call)> onCall;

    // How often the service `call` was used.
    int count(const QString &call) const { return calls.count(call); }
    // Forgets what was logged so far; the scripted answers stay.
    void clearLog();

    bool askYesNo(const QString &text, const QString &title, Icon icon) override;
    void showInformation(const QString &text, const QString &title) override;
    QString chooseSaveFile(const QString &title, const QString &initialName) override;
    void beep() override { log(QStringLiteral("beep")); }
    void endProgram() override { log(QStringLiteral("endProgram")); }
    void hq() override { log(QStringLiteral("hq")); }
    void hq2() override { log(QStringLiteral("hq2")); }
    void startClock() override { log(QStringLiteral("startClock")); }
    void showStatusLabels() override { log(QStringLiteral("showStatusLabels")); }
    void setModeCaption(const QString &caption) override;

private:
    void log(const QString &call);
};

} // namespace tavrin::test
