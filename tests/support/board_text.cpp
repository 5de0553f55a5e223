#include "board_text.h"

#include <QtGlobal>

namespace tavrin::test {

namespace {

bool codeOf(QChar c, std::int16_t &code)
{
    if (c == QLatin1Char(kEmptyChar))
        code = kEmpty;
    else if (c == QLatin1Char(kWhiteChar))
        code = kWhite;
    else if (c == QLatin1Char(kBlackChar))
        code = kBlack;
    else
        return false;
    return true;
}

QChar charOf(std::int16_t code)
{
    switch (code) {
    case kEmpty:
        return QLatin1Char(kEmptyChar);
    case kWhite:
        return QLatin1Char(kWhiteChar);
    case kBlack:
        return QLatin1Char(kBlackChar);
    default:
        return QLatin1Char('?');
    }
}

} // namespace

bool putBoard(GameState &state, const QStringList &rows)
{
    if (rows.size() != kBoardSize)
        return false;
    std::int16_t board[kBoardSize + 1][kBoardSize + 1] = {};
    for (int y = 1; y <= kBoardSize; ++y) {
        const QString &row = rows.at(y - 1);
        if (row.size() != kBoardSize)
            return false;
        for (int x = 1; x <= kBoardSize; ++x) {
            if (!codeOf(row.at(x - 1), board[x][y]))
                return false;
        }
    }
    for (int x = 0; x <= kBoardSize; ++x)
        for (int y = 0; y <= kBoardSize; ++y)
            state.qizi[x][y] = board[x][y];
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
        for (int x = 1; x <= kBoardSize; ++x)
            row.append(charOf(state.qizi[x][y]));
        rows.append(row);
    }
    return rows;
}

QStringList startingBoardText()
{
    return {
        QStringLiteral("................"),
        QStringLiteral("................"),
        QStringLiteral("................"),
        QStringLiteral("................"),
        QStringLiteral("................"),
        QStringLiteral("................"),
        QStringLiteral("................"),
        QStringLiteral(".......xo......."),
        QStringLiteral(".......ox......."),
        QStringLiteral("................"),
        QStringLiteral("................"),
        QStringLiteral("................"),
        QStringLiteral("................"),
        QStringLiteral("................"),
        QStringLiteral("................"),
        QStringLiteral("................"),
    };
}

} // namespace tavrin::test
