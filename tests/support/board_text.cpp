#include "board_text.h"

#include <QRegularExpression>

namespace tavrin::test {

namespace {

// The cell characters in the order of their codes: kEmpty, kWhite, kBlack.
constexpr char kCellChars[] = {kEmptyChar, kWhiteChar, kBlackChar};
const QString kCellText = QString::fromLatin1(kCellChars, std::size(kCellChars));

} // namespace

bool putBoard(GameState &state, const QStringList &rows)
{
    std::int16_t board[kBoardSize + 1][kBoardSize + 1] = {};
    for (int y = 1; y <= kBoardSize; ++y) {
        for (int x = 1; x <= kBoardSize; ++x) {
            const qsizetype code = rows.size() != kBoardSize || rows.at(y - 1).size() != kBoardSize
                ? -1
                : kCellText.indexOf(rows.at(y - 1).at(x - 1));
            if (code < 0)
                return false;
            board[x][y] = std::int16_t(code);
        }
    }
    std::copy(&board[0][0], &board[0][0] + sizeof board / sizeof board[0][0], &state.qizi[0][0]);
    return true;
}

GameState boardFromText(const QStringList &rows)
{
    GameState state;
    if (!putBoard(state, rows))
        qFatal("Malformed board text: %s", qPrintable(rows.join(QLatin1Char('|'))));
    return state;
}

QStringList boardToText(const GameState &state)
{
    QStringList rows;
    for (int y = 1; y <= kBoardSize; ++y) {
        QString row;
        for (int x = 1; x <= kBoardSize; ++x) {
            const std::int16_t code = state.qizi[x][y];
            row.append(
                code >= 0 && code < kCellText.size() ? kCellText.at(code) : QLatin1Char('?'));
        }
        rows.append(row);
    }
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
        row = row.leftJustified(kBoardSize, QLatin1Char(kEmptyChar), true);
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
    int last = state.stepnum;
    for (int i = 1; i <= kRecordCapacity; ++i)
        if (state.qipu[i].x != 0 || state.qipu[i].y != 0)
            last = std::max(last, i);
    QString text = QString::number(state.stepnum) + QLatin1Char(':');
    for (int i = 1; i <= std::min(last, kRecordCapacity); ++i)
        text += QStringLiteral(" %1,%2").arg(state.qipu[i].x).arg(state.qipu[i].y);
    return text;
}

QString legalCellsText(const GameState &state)
{
    QStringList cells;
    for (int y = 1; y <= kBoardSize; ++y)
        for (int x = 1; x <= kBoardSize; ++x)
            if (state.kyxq[x][y] == kLegal)
                cells << QStringLiteral("%1,%2").arg(x).arg(y);
    return cells.join(QLatin1Char(' '));
}

} // namespace tavrin::test
