#pragma once

#include "flow/window_services.h"

#include <QList>
#include <QStringList>
#include <functional>

namespace tavrin::test {

// A window for the game flow whose answers are scripted in advance and whose every call is
// logged in order, so a test can check what the player would have been shown and when.
class FakeWindow : public WindowServices
{
public:
    // Answers to askYesNo, the first one first; a question with no answer left is counted in
    // unansweredQuestions and answered No.
    QList<bool> answers;
    // Names the Save dialog returns, the first one first; with none left it returns "" (Cancel).
    QStringList saveNames;

    QStringList calls; // the name of every service called, in order ("askYesNo", ...)
    // What every box, dialog and caption showed, in order: "text|title" for a box ("|?" follows
    // for the Question icon), "title|initial name" for the Save dialog, the mode caption as is.
    QStringList shown;
    int unansweredQuestions = 0;
    // Runs at each call, after it is logged: lets a test look at the game at that moment.
    std::function<void(const QString &call)> onCall;

    // Forgets what was logged so far; the scripted answers stay.
    void clearLog()
    {
        calls.clear();
        shown.clear();
        unansweredQuestions = 0;
    }

    // What a question box adds for a screen reader is not logged: the window tests check it.
    bool askYesNo(const QString &text, const QString &title, Icon icon, const QString &) override
    {
        log("askYesNo", text + '|' + title + (icon == Icon::Question ? "|?" : ""));
        unansweredQuestions += answers.isEmpty();
        return !answers.isEmpty() && answers.takeFirst();
    }
    void showInformation(const QString &text, const QString &title) override
    {
        log("showInformation", text + '|' + title);
    }
    QString chooseSaveFile(const QString &title, const QString &initialName) override
    {
        log("chooseSaveFile", title + '|' + initialName);
        return saveNames.isEmpty() ? QString() : saveNames.takeFirst();
    }
    void beep() override { log("beep"); }
    void endProgram() override { log("endProgram"); }
    void paintStones() override { log("paintStones"); }
    void repaintBoard() override { log("repaintBoard"); }
    void startClock() override { log("startClock"); }
    void showStatusLabels() override { log("showStatusLabels"); }
    void setModeCaption(const QString &caption) override { log("setModeCaption", caption); }
    // The window tests check what a screen reader hears of each exchange.
    void announceExchange(const Exchange &) override { }

private:
    void log(const QString &call, const QString &text = QString())
    {
        calls.append(call);
        if (!text.isNull())
            shown.append(text);
        if (onCall)
            onCall(call);
    }
};

} // namespace tavrin::test
