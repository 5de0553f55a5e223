#include "flow/game_flow.h"

#include "desktop/logging.h"
#include "flow/flow_texts.h"
#include "flow/record_file.h"
#include "game/board_geometry.h"

#include <QFileInfo>
#include <cstring>
#include <optional>

namespace tavrin {

namespace {

// The empty corner from which playStone on the starting position turns nothing over: playStone
// there only recounts the stones.
constexpr std::int16_t kRecountCell = 1;

// The cell a pass question names: column by column, the first where white may play.
std::optional<RecordEntry> firstLegalCellForWhite(const GameState &state)
{
    for (std::int16_t x = 1; x <= kBoardSize; ++x)
        for (std::int16_t y = 1; y <= kBoardSize; ++y)
            if (state.board[x][y] == kEmpty && state.capturesAt(x, y, kWhite) != 0)
                return RecordEntry {x, y};
    return std::nullopt;
}

// The cell that holds a stone on `after` and was empty on `before`, if there is one.
std::optional<RecordEntry> newStone(const std::int16_t (&before)[kBoardSize + 1][kBoardSize + 1],
    const std::int16_t (&after)[kBoardSize + 1][kBoardSize + 1])
{
    for (std::int16_t x = 1; x <= kBoardSize; ++x)
        for (std::int16_t y = 1; y <= kBoardSize; ++y)
            if (before[x][y] == kEmpty && after[x][y] != kEmpty)
                return RecordEntry {x, y};
    return std::nullopt;
}

} // namespace

GameFlow::GameFlow(WindowServices &window) : window_(window) { }

void GameFlow::release(const std::optional<PointerCell> &cell, Qt::MouseButton button)
{
    if (programEnded_ || gameStarted != 1 || button != Qt::LeftButton || !cell)
        return;
    if (!cell->onBoard()) {
        window_.beep();
        return;
    }
    const auto column = static_cast<std::int16_t>(cell->column);
    const auto row = static_cast<std::int16_t>(cell->row);
    if (board[column][row] != kEmpty)
        return;
    Exchange exchange;
    exchange.player = {column, row};
    exchange.playerTurned = capturesAt(column, row, kWhite);
    if (exchange.playerTurned == 0)
        return;

    board[column][row] = kWhite;
    recordPlayerTurn(column, row);
    playStone(column, row, kWhite);
    // When this stone ended the game, the next game waits for the player's first move, as after
    // the new-game command.
    if (gameOver_)
        announce(exchange);
    if (closeGameIfOver())
        return;
    window_.paintStones();
    computerAnswers(exchange);
}

void GameFlow::pass()
{
    if (programEnded_ || gameStarted != 1)
        return;
    if (const std::optional<RecordEntry> cell = firstLegalCellForWhite(*this)) {
        if (!window_.askYesNo(passQuestion(cell->x, cell->y), flowtext::kAppTitle,
                WindowServices::Icon::None, QString()))
            return;
    }
    recordPlayerTurn(0, 0);
    computerAnswers(Exchange {});
}

void GameFlow::newGame()
{
    if (programEnded_)
        return;
    if (gameStarted == 0)
        startFirstGame();
    else
        restartGame();
}

void GameFlow::ended()
{
    // playStone may find the game over twice on one board (full, and one side without stones): the
    // player is asked once all the same.
    if (!programEnded_ && gameStarted == 1)
        gameOver_ = true;
}

bool GameFlow::closeGameIfOver()
{
    if (!gameOver_)
        return false;
    gameOver_ = false;
    window_.paintStones();
    const bool playAgain = window_.askYesNo(resultText(whiteCount, blackCount), flowtext::kAppTitle,
        WindowServices::Icon::None, spokenCounts(whiteCount, blackCount));
    offerSave();
    if (!playAgain) {
        programEnded_ = true;
        window_.endProgram();
        return true;
    }
    // The clock goes on from the finished game, unlike after the new-game command.
    setUpNextGame();
    return true;
}

void GameFlow::startFirstGame()
{
    elapsedSeconds = 0;
    window_.startClock();
    window_.showStatusLabels();
    window_.setModeCaption(flowtext::kModeCaption);
    // The position placed at window load is used as it is; it only needs counting.
    playStone(kRecountCell, kRecountCell, kWhite);
    window_.paintStones();
    markPlayable(kWhite);
    gameStarted = 1;
}

void GameFlow::restartGame()
{
    if (!window_.askYesNo(flowtext::kNewGameQuestion, flowtext::kNewGameTitle,
            WindowServices::Icon::Question, QString()))
        return;
    elapsedSeconds = 0;
    window_.startClock();
    setUpNextGame();
}

void GameFlow::setUpNextGame()
{
    placeStartingStones();
    // On the starting position neither end test can hold, so this cannot end the game again.
    playStone(kRecountCell, kRecountCell, kWhite);
    window_.repaintBoard();
    markPlayable(kWhite);
}

void GameFlow::recordPlayerTurn(std::int16_t x, std::int16_t y)
{
    // A full record still lets the game go on; the turn is played but no longer written down.
    if (lastEntry < 0 || lastEntry >= kRecordCapacity)
        return;
    ++lastEntry;
    record[lastEntry] = {x, y};
}

void GameFlow::computerAnswers(Exchange exchange)
{
    const std::int16_t whiteBefore = whiteCount;
    const bool reserved = lastEntry >= 0 && lastEntry < kRecordCapacity;
    std::optional<RecordEntry> move;
    if (reserved) {
        // The reserved entry stays (0, 0) when the computer passes.
        ++lastEntry;
        playComputerMove(true);
        if (record[lastEntry].x != 0)
            move = record[lastEntry];
    } else {
        // On a full record the board before the move tells where the computer played.
        std::int16_t before[kBoardSize + 1][kBoardSize + 1];
        std::memcpy(before, board, sizeof before);
        playComputerMove(false);
        move = newStone(before, board);
    }
    exchange.computerAnswered = true;
    exchange.computer = move.value_or(RecordEntry {});
    exchange.computerTurned = whiteBefore - whiteCount;
    announce(exchange);
    // The computer's stone may have ended the game; after Yes the map is built for the new one.
    closeGameIfOver();
    if (programEnded_)
        return;
    window_.paintStones();
    markPlayable(kWhite);
}

void GameFlow::announce(Exchange exchange)
{
    exchange.whiteCount = whiteCount;
    exchange.blackCount = blackCount;
    window_.announceExchange(exchange);
}

QString GameFlow::passQuestion(std::int16_t x, std::int16_t y)
{
    return flowtext::kPassBefore + QLatin1Char(' ') + QString::number(x) + flowtext::kPassBetween
        + QLatin1Char(' ') + QString::number(y) + flowtext::kPassAfter;
}

QString GameFlow::resultText(std::int16_t white, std::int16_t black)
{
    if (white > black)
        return flowtext::kResultWon;
    if (white < black)
        return flowtext::kResultLost;
    return flowtext::kResultDrawn;
}

void GameFlow::offerSave()
{
    // A record that could not be written is offered again, under the name just tried, until it
    // is saved or the player cancels: the game is never thrown away by a failed save.
    QString offered = initialSaveName();
    for (;;) {
        const QString path
            = normalizedSaveName(window_.chooseSaveFile(flowtext::kSaveTitle, offered));
        if (path.isEmpty())
            return;
        const Result<> saved = saveRecord(path, recordText(*this));
        if (saved)
            return;
        qCDebug(lcSave) << "record not saved to" << path << ":" << saved.reason();
        window_.showInformation(
            flowtext::kSaveFailed + path + QLatin1Char('\r') + saved.reason(), flowtext::kAppTitle);
        offered = QFileInfo(path).absoluteFilePath();
    }
}

} // namespace tavrin
