#include "replay/position_text.h"

#include "flow/game_flow.h"

namespace tavrin::replay {

namespace {

QChar cellMark(std::int16_t code)
{
    switch (code) {
    case kWhite:
        return QLatin1Char('o');
    case kBlack:
        return QLatin1Char('x');
    default:
        return QLatin1Char('.');
    }
}

} // namespace

QString positionText(const GameState &state, bool gameOver)
{
    QString text = QStringLiteral("   ");
    for (int x = 1; x <= kBoardSize; ++x) {
        text += QStringLiteral("%1").arg(x, 3);
    }
    text += QLatin1Char('\n');
    for (int y = 1; y <= kBoardSize; ++y) {
        text += QStringLiteral("%1").arg(y, 3);
        for (int x = 1; x <= kBoardSize; ++x) {
            text += QStringLiteral("  ") + cellMark(state.board[x][y]);
        }
        text += QLatin1Char('\n');
    }
    text += QStringLiteral("white (o): %1  black (x): %2\n")
                .arg(state.whiteCount)
                .arg(state.blackCount);
    if (gameOver) {
        text += GameFlow::resultText(state.whiteCount, state.blackCount) + QLatin1Char('\n');
    } else {
        text += QStringLiteral("the game is not over\n");
        // The game stops recording at its last entry, so it may have gone on unrecorded.
        if (state.lastEntry >= kRecordCapacity) {
            text += QStringLiteral(
                "the record is full (%1 entries); the game may have gone on beyond it\n")
                        .arg(kRecordCapacity);
        }
    }
    return text;
}

} // namespace tavrin::replay
