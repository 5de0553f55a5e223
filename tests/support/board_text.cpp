#include "board_text.h"

#include <QRegularExpression>
#include <algorithm>
#include <cstring>

namespace tavrin::test {

namespace {

// The cell characters in the order of their codes: kEmpty, kWhite, kBlack.
// Constant-initialised, as boards in other files' globals are built from it.
constexpr QLatin1String kCellText(".ox");

} // namespace

void putBoard(GameState &state, const QStringList &rows)
{
    std::memset(state.board, 0, sizeof state.board); // the border too
    for (int y = 1; y <= kBoardSize; ++y)
        for (int x = 1; x <= kBoardSize; ++x) {
            const qsizetype code = rows.size() != kBoardSize || rows[y - 1].size() != kBoardSize
                ? -1
                : kCellText.indexOf(rows[y - 1][x - 1]);
            if (code < 0)
                qFatal("Malformed board text: %s", qPrintable(rows.join(QLatin1Char('|'))));
            state.board[x][y] = std::int16_t(code);
        }
}

QStringList boardToText(const GameState &state)
{
    QStringList rows(kBoardSize, QString(kBoardSize, QLatin1Char('?')));
    for (int y = 1; y <= kBoardSize; ++y)
        for (int x = 1; x <= kBoardSize; ++x)
            if (state.board[x][y] >= 0 && state.board[x][y] < kCellText.size())
                rows[y - 1][x - 1] = kCellText[state.board[x][y]];
    return rows;
}

QStringList startingBoardText()
{
    return placedBoard(QStringLiteral("x@8,8 x@9,9 o@9,8 o@8,9"));
}

QStringList placedBoard(const QString &placements, QStringList base)
{
    base.resize(kBoardSize);
    for (QString &row : base)
        row = row.leftJustified(kBoardSize, kCellText[kEmpty], true);
    static const QRegularExpression placement(
        QStringLiteral("^([.ox])@(\\d+)(?:-(\\d+))?,(\\d+)(?:-(\\d+))?$"));
    for (const QString &item : placements.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = placement.match(item);
        const auto bound = [&](int group, int fallback) {
            return match.hasCaptured(group) ? match.captured(group).toInt() : fallback;
        };
        const int x0 = bound(2, 0), x1 = bound(3, x0), y0 = bound(4, 0), y1 = bound(5, y0);
        if (!match.hasMatch() || x0 < 1 || x1 > kBoardSize || y0 < 1 || y1 > kBoardSize)
            qFatal("Malformed placement: %s", qPrintable(item));
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                base[y - 1][x - 1] = match.captured(1).at(0);
    }
    return base;
}

QString recordSummary(const GameState &state)
{
    int last = std::clamp<int>(state.lastEntry, 0, kRecordCapacity);
    for (int i = last + 1; i <= kRecordCapacity; ++i)
        if (state.record[i].x != 0 || state.record[i].y != 0)
            last = i;
    QString text = QString::number(state.lastEntry) + QLatin1Char(':');
    for (int i = 1; i <= last; ++i)
        text += QStringLiteral(" %1,%2").arg(state.record[i].x).arg(state.record[i].y);
    return text;
}

QString legalCellsText(const GameState &state)
{
    QStringList cells;
    for (int y = 1; y <= kBoardSize; ++y)
        for (int x = 1; x <= kBoardSize; ++x)
            if (state.playable[x][y] == kLegal)
                cells << QStringLiteral("%1,%2").arg(x).arg(y);
    return cells.join(QLatin1Char(' '));
}

} // namespace tavrin::test
