// Hundreds of whole games through the game flow against the computer, the state checked after
// every exchange and at every end of a game.
#include "flow/flow_texts.h"
#include "game_invariants.h"
#include "random_player.h"

#include <QTest>

// Whole games to play: enough to meet every kind of ending, passes and the full record.
constexpr int kGames = 200;

using namespace tavrin;
using namespace tavrin::invariants;

class StressPlay : public QObject
{
    Q_OBJECT

private slots:
    // Every question gets Yes: a finished game starts again, the Save dialog is cancelled. A
    // game where neither side can move is started again by hand.
    void invariantsHoldThroughWholeGames()
    {
        test::RandomPlayer player(2024);
        int ended = 0, stuck = 0;
        QString endFault; // the first fault seen when a game ended
        player.window.onCall = [&](const QString &call) {
            if (call != "askYesNo"
                || player.window.shown.last().startsWith(flowtext::kNewGameQuestion))
                return;
            ++ended;
            // The map is not brought up to date for a board that is over.
            const auto fault = gameOverByRule(player.flow)
                ? firstFault(player.flow, {true, false, ReplayCheck::StonesAndComputer})
                : "the end was announced on a board that is not over";
            if (fault && endFault.isEmpty())
                endFault = QString::fromStdString(*fault);
        };
        for (int exchange = 1; ended + stuck < kGames; ++exchange) {
            player.window.answers = {true};
            if (!player.exchange()) {
                ++stuck;
                player.flow.MNrj();
            }
            QCOMPARE(player.window.unansweredQuestions, 0);
            player.window.clearLog();
            if (const auto fault = firstFault(player.flow, {}))
                QFAIL(qPrintable(QStringLiteral("exchange %1: ").arg(exchange) + fault->c_str()));
            QVERIFY2(endFault.isEmpty(), qPrintable(endFault));
            QVERIFY(!player.flow.programEnded());
            QVERIFY2(exchange < 300 * (ended + stuck + 1), "a game neither ends nor gets stuck");
        }
        // Whole games must have been played, not only positions where nobody can move.
        QVERIFY(ended > kGames / 2);
        // The checks must notice a damaged state, or the games above prove nothing.
        GameState miscounted = player.flow, mismapped = player.flow;
        ++miscounted.bqnum;
        mismapped.kyxq[1][1] = std::int16_t(kLegal + kIllegal - mismapped.kyxq[1][1]);
        QVERIFY(firstFault(miscounted, {}) && firstFault(mismapped, {}));
    }
};

QTEST_GUILESS_MAIN(StressPlay)
#include "tst_stress_play.moc"
