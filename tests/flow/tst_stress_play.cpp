// Thousands of whole games through the game flow against the computer, the state checked after
// every exchange and at every end of a game.
#include "flow_texts.h"
#include "game_invariants.h"
#include "random_player.h"
#include "replay.h"

#include <QTest>

#ifndef TAVRIN_STRESS_GAMES
// Games per data row; the sanitizer build passes a smaller number.
#define TAVRIN_STRESS_GAMES 600
#endif

using namespace tavrin;
using namespace tavrin::invariants;

// A way to spoil a sound position.
using Damage = void (*)(GameState &);

// The position a legal record leads to, with white's legal-move map.
GameState afterRecord(const std::vector<stepxy> &entries)
{
    GameState state = replay::replayRecord(entries, {}).position;
    state.pdkyxq(kWhite);
    return state;
}

class StressPlay : public QObject
{
    Q_OBJECT

private slots:
    void invariantsHoldThroughWholeGames_data()
    {
        QTest::addColumn<quint32>("seed");
        for (const quint32 seed : {1u, 2024u, 4000000000u})
            QTest::addRow("seed %u", seed) << seed;
    }

    void invariantsHoldThroughWholeGames()
    {
        QFETCH(quint32, seed);
        test::RandomPlayer player(seed);
        int ended = 0;
        int stuck = 0;
        QString endFault; // the first fault seen when a game ended
        player.window.onCall = [&](const QString &call) {
            if (call != QLatin1String("askYesNo")
                || player.window.questions.constLast().text == flowtext::kNewGameQuestion)
                return;
            ++ended;
            // The map is not brought up to date for a board that is over.
            const auto fault = gameOverByRule(player.flow)
                ? firstFault(player.flow, {true, false, ReplayCheck::StonesAndComputer})
                : "the end was announced on a board that is not over";
            if (fault && endFault.isEmpty())
                endFault = QString::fromStdString(*fault);
        };
        for (int exchange = 1; ended + stuck < TAVRIN_STRESS_GAMES; ++exchange) {
            // Every question gets Yes: a finished game starts again, the Save dialog is
            // cancelled. A game where neither side can move is started again by hand.
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
        QVERIFY(ended > TAVRIN_STRESS_GAMES / 2);
    }

    // The checks are only worth something if they notice a damaged state: each row spoils the
    // sound position after white's (10, 9) and the computer's (10, 8) one way.
    void brokenStateIsNoticed_data()
    {
        QTest::addColumn<Damage>("damage");
        const auto row = [](const char *name, Damage damage) {
            QTest::newRow(name) << damage;
        };
        row("stone on the border", [](GameState &s) { s.qizi[0][5] = kWhite; });
        row("cell code 3", [](GameState &s) { s.qizi[1][1] = 3; });
        row("white count one too high", [](GameState &s) { ++s.bqnum; });
        row("odd stepnum after an exchange", [](GameState &s) { s.stepnum = 3; });
        row("legal cell missing from the map", [](GameState &s) { s.kyxq[8][7] = kIllegal; });
        row("record entry past stepnum", [](GameState &s) { s.qipu[5] = {1, 1}; });
        row("record that does not replay", [](GameState &s) { s.qipu[1] = {10, 10}; });
        row("black entry not the computer's", [](GameState &s) {
            s = afterRecord({{10, 9}, {10, 10}});
        });
        row("stepnum past the record", [](GameState &s) { s.stepnum = kRecordCapacity + 2; });
    }

    void brokenStateIsNoticed()
    {
        QFETCH(Damage, damage);
        GameState state = afterRecord({{10, 9}, {10, 8}});
        const CheckPoint full {true, true, ReplayCheck::StonesAndComputer};
        QVERIFY(!firstFault(state, full));
        damage(state);
        QVERIFY(firstFault(state, full));
    }
};

QTEST_GUILESS_MAIN(StressPlay)
#include "tst_stress_play.moc"
