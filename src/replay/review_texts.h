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
