#pragma once

#include "game/game_state.h"

#include <QString>

// Captions and messages that the game flow shows, exactly as the player sees them.
namespace tavrin::flowtext {

// The stone count caption of `side`: "白棋现有" or "黑棋现有", the count with a blank in the
// place of its sign, then " 子" ("白棋现有 2 子").
inline QString countCaption(std::int16_t side, std::int16_t count)
{
    const QString number
        = count < 0 ? QString::number(count) : QLatin1Char(' ') + QString::number(count);
    return QString::fromUtf8(side == kWhite ? "白棋现有" : "黑棋现有") + number
        + QStringLiteral(" 子");
}

// Title of the boxes that name no other title.
inline const QString kAppTitle = QStringLiteral("Tavrin");

// Results of a finished game, each asking whether to play again.
inline const QString kResultWon = QStringLiteral("Congratulations , 重新来一盘？");
inline const QString kResultLost = QStringLiteral("Bad luck , 重新来一盘？");
inline const QString kResultDrawn = QStringLiteral("Not too bad , 重新来一盘？");

// The pass question is kPassBefore, " column", kPassBetween, " row", kPassAfter.
inline const QString kPassBefore = QStringLiteral("您至少还可以在");
inline const QString kPassBetween = QStringLiteral(",");
inline const QString kPassAfter = QStringLiteral("落子,确认放弃吗？");

// The question before a game under way is abandoned.
inline const QString kNewGameTitle = QStringLiteral("新局");
inline const QString kNewGameQuestion = QStringLiteral("这盘棋尚未下完，重新开始吗？");

// Caption of the mode label: the one mode of play, indented.
inline const QString kModeCaption = QStringLiteral("   人机大战");

// The Save dialog for a game record.
inline const QString kSaveTitle = QStringLiteral("保存这盘棋");
inline const QString kRecordPattern = QStringLiteral("*.tvr");
inline const QString kRecordExtension = QStringLiteral(".tvr");

// First words of the message after a record could not be written; the path and reason follow.
inline const QString kSaveFailed = QStringLiteral("无法保存文件：");
// The reason given when the chosen name is a folder, a FIFO, a device or a socket.
inline const QString kNotRegularFile = QStringLiteral("不是普通文件");

// What a screen reader says of an exchange (see exchange.h): the player's turn, then the
// computer's, then both counts.
inline const QString kSpokenWhitePlayed = QStringLiteral("白棋落子 ");
inline const QString kSpokenWhitePassed = QStringLiteral("白棋放弃");
inline const QString kSpokenComputerPlayed = QStringLiteral("电脑落子 ");
inline const QString kSpokenComputerPassed = QStringLiteral("电脑无子可下");
inline const QString kSpokenTurned = QStringLiteral("，翻转 %1 子"); // the stones turned over
inline const QString kSpokenTurnsApart = QStringLiteral("；");
inline const QString kSpokenSentenceEnd = QStringLiteral("。");
inline const QString kSpokenCounts = QStringLiteral("白棋 %1 子，黑棋 %2 子"); // white, black

} // namespace tavrin::flowtext
