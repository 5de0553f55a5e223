#include "flow/exchange.h"

#include "flow/flow_texts.h"

namespace tavrin {

namespace {

QString cellText(const RecordEntry &cell)
{
    return QString::number(cell.x) + QLatin1Char(',') + QString::number(cell.y);
}

QString stoneText(const QString &side, const RecordEntry &cell, int turned)
{
    return side + cellText(cell) + flowtext::kSpokenTurned.arg(turned);
}

} // namespace

QString exchangeAnnouncement(const Exchange &exchange)
{
    QString text = exchange.player.x != 0
        ? stoneText(flowtext::kSpokenWhitePlayed, exchange.player, exchange.playerTurned)
        : flowtext::kSpokenWhitePassed;
    if (exchange.computerAnswered) {
        text += flowtext::kSpokenTurnsApart;
        text += exchange.computer.x != 0
            ? stoneText(flowtext::kSpokenComputerPlayed, exchange.computer, exchange.computerTurned)
            : flowtext::kSpokenComputerPassed;
    }
    return text + flowtext::kSpokenSentenceEnd
        + spokenCounts(exchange.whiteCount, exchange.blackCount) + flowtext::kSpokenSentenceEnd;
}

QString spokenCounts(int white, int black)
{
    return flowtext::kSpokenCounts.arg(white).arg(black);
}

} // namespace tavrin
