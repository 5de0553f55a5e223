#pragma once

#include <QString>

// Captions and messages of the review window, in the game's own wording where the game has one.
namespace tavrin::reviewtext {

// The window title is kTitle, kTitleSeparator and the record's file name.
inline const QString kTitle = QStringLiteral("Tavrin 复盘");
inline const QString kTitleSeparator = QStringLiteral(" - ");

// "第 N 步 / 共 M 步": %1 the entry shown, %2 the entries of the record.
inline const QString kStepCaption = QStringLiteral("第 %1 步 / 共 %2 步");

// Who made the entry shown: the side, then "x,y" after a blank as the game's position caption
// shows a cell, or kPassed for a turn without a stone.
inline const QString kWhiteSide = QStringLiteral("白棋");
inline const QString kBlackSide = QStringLiteral("黑棋");
inline const QString kPassed = QStringLiteral("放弃");

// What a screen reader hears at each step: kSpokenStep with %1 the step caption, %2 the move
// caption (kOpening at entry 0), %3 and %4 the white and black counts; then kSpokenResult with
// the result after the last entry of a finished game.
inline const QString kSpokenStep = QStringLiteral("%1：%2，白棋 %3 子，黑棋 %4 子");
inline const QString kOpening = QStringLiteral("开局");
inline const QString kSpokenResult = QStringLiteral("。%1");

// The result of a finished game: the winner and the counts, the winner's first, or a draw.
inline const QString kWhiteWon = QStringLiteral("白棋胜 %1 : %2");
inline const QString kBlackWon = QStringLiteral("黑棋胜 %1 : %2");
inline const QString kDrawn = QStringLiteral("平局 %1 : %2");

// Tooltips of the stepping buttons, naming their keys.
inline const QString kFirstTip = QStringLiteral("开局 (Home)");
inline const QString kBackTip = QStringLiteral("上一步 (←)");
inline const QString kForwardTip = QStringLiteral("下一步 (→)");
inline const QString kLastTip = QStringLiteral("终局 (End)");

// The box shown when a record cannot be read: kUnreadable, the file's path, a line break and the
// system's reason.
inline const QString kUnreadable = QStringLiteral("无法读取棋谱：");
// Its one button (the tool carries no toolkit translations of its own).
inline const QString kOk = QStringLiteral("确定");

} // namespace tavrin::reviewtext
