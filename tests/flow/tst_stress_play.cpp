// Thousands of whole games through the game flow: white plays a random legal cell (or passes
// when it has none), black is the computer, and the state is checked after every exchange and
// at every end of a game.

#include "board_text.h"
#include "fake_window.h"
#include "flow_texts.h"
#include "game_flow.h"
#include "game_invariants.h"

#include <QTest>
#include <random>
#include <vector>

#ifndef TAVRIN_STRESS_GAMES
// Games per data row; the sanitizer build passes a smaller number.
#define TAVRIN_STRESS_GAMES 450
#endif

using tavrin::GameFlow;
using tavrin::kBlack;
using tavrin::kBoardSize;
using tavrin::kWhite;
using tavrin::invariants::CheckPoint;
using tavrin::invariants::firstFault;
using tavrin::invariants::legalByRule;
using tavrin::invariants::ReplayCheck;
using tavrin::test::FakeWindow;

namespace {

constexpr int kGamesPerRow = TAVRIN_STRESS_GAMES;
// More exchanges than any game can take without being stuck: a bound against a loop.
constexpr int kExchangeLimit = 2000;

struct Cell
{
    int x;
    int y;
};

std::vector<Cell> legalCells(const tavrin::GameState &state, int side)
{
    std::vector<Cell> cells;
    for (int x = 1; x <= kBoardSize; ++x)
        for (int y = 1; y <= kBoardSize; ++y)
            if (legalByRule(state, x, y, side))
                cells.push_back({x, y});
    return cells;
}

float centreOf(int index)
{
    return (static_cast<float>(index) - 0.5f) * 62.5f;
}

// Stones of `side` on the board, counted here rather than taken from the game.
int stonesOf(const tavrin::GameState &state, int side)
{
    int count = 0;
    for (int x = 1; x <= kBoardSize; ++x)
        for (int y = 1; y <= kBoardSize; ++y)
            count += state.qizi[x][y] == side;
    return count;
}

QString expectedResult(const tavrin::GameState &state)
{
    const int white = stonesOf(state, kWhite);
    const int black = stonesOf(state, kBlack);
    if (white > black)
        return tavrin::flowtext::kResultWon;
    if (white < black)
        return tavrin::flowtext::kResultLost;
    return tavrin::flowtext::kResultDrawn;
}

// Plays games against the computer with a fixed-seed player and notes what goes wrong.
class Player
{
public:
    explicit Player(unsigned seed) : random_(seed)
    {
        window_.onCall = [this](const QString &call) {
            if (call == QLatin1String("askYesNo"))
                questionAsked();
        };
        flow_.initqizi();
        flow_.MNrj();
    }

    // One exchange: a random legal cell for white, a pass when there is none, or a new game
    // when neither side can move. Every question is answered Yes; the Save dialog is cancelled.
    void exchange()
    {
        const std::vector<Cell> cells = legalCells(flow_, kWhite);
        window_.answers = {true};
        if (cells.empty() && legalCells(flow_, kBlack).empty()) {
            ++stuckGames;
            flow_.MNrj();
            if (endFault.isEmpty()
                && (tavrin::test::boardToText(flow_) != tavrin::test::startingBoardText()
                    || flow_.stepnum != 0))
                endFault = QStringLiteral("a new game did not start from the starting position");
        } else if (cells.empty()) {
            flow_.fqyz();
        } else {
            const Cell cell = cells[random_() % cells.size()];
            flow_.release(GameFlow::kLeftButton, 0, centreOf(cell.x), centreOf(cell.y));
        }
        window_.answers.clear();
        unansweredQuestions += window_.unansweredQuestions;
        window_.clearLog();
        ++exchanges;
        if (flow_.stepnum == tavrin::kRecordCapacity)
            ++fullRecords;
    }

    const GameFlow &flow() const { return flow_; }

    int finishedGames = 0;
    int stuckGames = 0;
    int exchanges = 0;
    int fullRecords = 0;
    int unansweredQuestions = 0;
    // The first fault seen at the end of a game or a new-game question, empty while none.
    QString endFault;

private:
    void questionAsked()
    {
        const QString text = window_.questions.constLast().text;
        if (text == tavrin::flowtext::kNewGameQuestion)
            return;
        ++finishedGames;
        if (!endFault.isEmpty())
            return;
        if (!tavrin::invariants::gameOverByRule(flow_))
            endFault
                = QStringLiteral("the end of a game was announced on a board that is not over");
        else if (text != expectedResult(flow_))
            endFault = QStringLiteral("the result says \"%1\", the stones say \"%2\"")
                           .arg(text, expectedResult(flow_));
        else if (const auto fault
            = firstFault(flow_, {true, false, ReplayCheck::StonesAndComputer}))
            endFault = QStringLiteral("at the end of a game: ") + QString::fromStdString(*fault);
    }

    FakeWindow window_;
    GameFlow flow_ {window_};
    std::mt19937 random_;
};

} // namespace

class StressPlay : public QObject
{
    Q_OBJECT

private slots:
    void invariantsHoldThroughWholeGames_data();
    void invariantsHoldThroughWholeGames();
    void brokenStateIsNoticed_data();
    void brokenStateIsNoticed();
};

void StressPlay::invariantsHoldThroughWholeGames_data()
{
    QTest::addColumn<unsigned>("seed");
    QTest::newRow("seed 1") << 1u;
    QTest::newRow("seed 2024") << 2024u;
    QTest::newRow("seed 77777") << 77777u;
    QTest::newRow("seed 4000000000") << 4000000000u;
}

void StressPlay::invariantsHoldThroughWholeGames()
{
    QFETCH(unsigned, seed);
    Player player(seed);
    int exchangesThisGame = 0;
    int gamesSeen = 0;
    while (player.finishedGames + player.stuckGames < kGamesPerRow) {
        player.exchange();
        const CheckPoint afterExchange {true, true, ReplayCheck::Stones};
        if (const auto fault = firstFault(player.flow(), afterExchange))
            QFAIL(qPrintable(QStringLiteral("game %1, exchange %2: %3")
                                 .arg(gamesSeen + 1)
                                 .arg(player.exchanges)
                                 .arg(QString::fromStdString(*fault))));
        QVERIFY2(player.endFault.isEmpty(), qPrintable(player.endFault));
        QCOMPARE(player.flow().programEnded(), false);

        const int games = player.finishedGames + player.stuckGames;
        exchangesThisGame = games == gamesSeen ? exchangesThisGame + 1 : 0;
        gamesSeen = games;
        QVERIFY2(exchangesThisGame < kExchangeLimit, "a game neither ends nor gets stuck");
    }
    QCOMPARE(player.unansweredQuestions, 0);
    // Whole games must have been played, not only positions where nobody can move.
    QVERIFY(player.finishedGames > kGamesPerRow / 2);
    qInfo("%d games finished, %d stuck and restarted, %d exchanges, %d with a full record",
        player.finishedGames, player.stuckGames, player.exchanges, player.fullRecords);
}

// The checks above are only worth something if they notice a damaged state: each row spoils a
// sound position one way, after one exchange played through the flow.
void StressPlay::brokenStateIsNoticed_data()
{
    QTest::addColumn<int>("damage");
    QTest::newRow("stone on the border") << 0;
    QTest::newRow("cell code 3") << 1;
    QTest::newRow("white count one too high") << 2;
    QTest::newRow("odd stepnum after an exchange") << 3;
    QTest::newRow("legal cell missing from the map") << 4;
    QTest::newRow("record entry past stepnum") << 5;
    QTest::newRow("recorded stone differs from the board") << 6;
    QTest::newRow("black entry not the computer's choice") << 7;
    QTest::newRow("stepnum past the record") << 8;
}

void StressPlay::brokenStateIsNoticed()
{
    QFETCH(int, damage);
    FakeWindow window;
    GameFlow flow(window);
    flow.initqizi();
    flow.MNrj();
    // White opens at (10, 9), turning over (9, 9); black answers.
    flow.release(GameFlow::kLeftButton, 0, centreOf(10), centreOf(9));
    QCOMPARE(flow.stepnum, 2);
    const CheckPoint full {true, true, ReplayCheck::StonesAndComputer};
    QVERIFY(!firstFault(flow, full));

    tavrin::GameState spoilt = flow;
    switch (damage) {
    case 0:
        spoilt.qizi[0][5] = kWhite;
        break;
    case 1:
        spoilt.qizi[1][1] = 3;
        break;
    case 2:
        ++spoilt.bqnum;
        break;
    case 3:
        spoilt.stepnum = 3;
        spoilt.qipu[3] = {0, 0};
        break;
    case 4: {
        const std::vector<Cell> cells = legalCells(spoilt, kWhite);
        QVERIFY(!cells.empty());
        spoilt.kyxq[cells.front().x][cells.front().y] = tavrin::kIllegal;
        break;
    }
    case 5:
        spoilt.qipu[5] = {1, 1};
        break;
    case 6:
        spoilt.qipu[1] = {spoilt.qipu[2].x, spoilt.qipu[2].y};
        break;
    case 7:
        spoilt.qipu[2] = {0, 0};
        break;
    case 8:
        spoilt.stepnum = tavrin::kRecordCapacity + 2;
        break;
    }
    QVERIFY(firstFault(spoilt, full).has_value());
}

QTEST_GUILESS_MAIN(StressPlay)
#include "tst_stress_play.moc"
