// Fuzz target: the game flow driven by arbitrary bytes. The bytes are read as a sequence of
// commands (board releases at any float position, releases on chosen cells, passes, new games)
// and also supply every answer the flow asks for. After each command the invariants of
// game_invariants.h must hold; a broken one aborts with its description.

#include "flow/game_flow.h"
#include "game_invariants.h"

#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using tavrin::cellAt;
using tavrin::cellCentreUnits;
using tavrin::GameFlow;
using tavrin::GameState;

// Hands out the input one piece at a time; past its end every read gives zeros.
class ByteSource
{
public:
    ByteSource(const std::uint8_t *data, std::size_t size) : data_(data), size_(size) { }

    bool exhausted() const { return position_ >= size_; }

    std::uint8_t byte() { return exhausted() ? 0 : data_[position_++]; }

    // Four bytes taken as they are, so NaN, infinities, huge and negative values all occur.
    float rawFloat()
    {
        std::uint8_t bytes[sizeof(float)];
        for (std::uint8_t &b : bytes)
            b = byte();
        float value;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }

private:
    const std::uint8_t *data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

// Records are only ever written into one temporary folder, removed when the fuzzer exits.
const QString &recordFolder()
{
    static const QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "no temporary folder for records\n");
        std::abort();
    }
    static const QString path = folder.path();
    return path;
}

// A window whose every answer comes from the input.
class FuzzWindow : public tavrin::WindowServices
{
public:
    explicit FuzzWindow(ByteSource &source) : source_(source) { }

    bool askYesNo(const QString &, const QString &, Icon, const QString &) override
    {
        return (source_.byte() & 1) != 0;
    }
    void showInformation(const QString &, const QString &) override { }
    QString chooseSaveFile(const QString &, const QString &) override
    {
        // Mostly Cancel; now and then a name in the temporary folder, one without an extension,
        // one in a folder that does not exist (the save fails) or a blank name.
        switch (source_.byte() % 16) {
        case 0:
            return recordFolder() + QStringLiteral("/game.tvr");
        case 1:
            return recordFolder() + QStringLiteral("/game");
        case 2:
            return recordFolder() + QStringLiteral("/missing/game.tvr");
        case 3:
            return QStringLiteral("   ");
        default:
            return {};
        }
    }
    void beep() override { }
    void endProgram() override { }
    void paintStones() override { }
    void repaintBoard() override { }
    void startClock() override { }
    void showStatusLabels() override { }
    void setModeCaption(const QString &) override { }
    void announceExchange(const tavrin::Exchange &) override { }

private:
    ByteSource &source_;
};

// Releases over the `choice`-th cell where white may play, or passes when there is none, so that
// short inputs still play whole games.
void playLegalCell(GameFlow &flow, std::uint8_t choice)
{
    std::vector<std::pair<int, int>> cells;
    for (int x = 1; x <= tavrin::kBoardSize; ++x)
        for (int y = 1; y <= tavrin::kBoardSize; ++y)
            if (tavrin::invariants::legalByRule(flow, x, y, tavrin::kWhite))
                cells.emplace_back(x, y);
    if (cells.empty()) {
        flow.pass();
        return;
    }
    const auto [x, y] = cells[choice % cells.size()];
    flow.release(cellAt(float(cellCentreUnits(x)), float(cellCentreUnits(y))), Qt::LeftButton);
}

void runCommand(GameFlow &flow, ByteSource &source)
{
    const std::uint8_t command = source.byte();
    switch (command % 8) {
    case 0:
    case 1:
    case 2: {
        // Mostly the left button; the high bit picks another button.
        const auto button
            = (command & 0x80) != 0 ? Qt::MouseButton(1 << ((command >> 3) % 8)) : Qt::LeftButton;
        const float x = source.rawFloat();
        const float y = source.rawFloat();
        flow.release(cellAt(x, y), button);
        break;
    }
    case 3: {
        const std::uint8_t cell = source.byte();
        // Cells 0 and 17 lie off the board.
        const float x = float(cellCentreUnits(cell % 18));
        const float y = float(cellCentreUnits(cell / 18 % 18));
        flow.release(cellAt(x, y), Qt::LeftButton);
        break;
    }
    case 4:
    case 5:
        playLegalCell(flow, source.byte());
        break;
    case 6:
        flow.pass();
        break;
    case 7:
        flow.newGame();
        break;
    }
}

// True when the board, the map, the counts and the record are as in `earlier`.
bool sameGame(const GameState &now, const GameState &earlier)
{
    return now.lastEntry == earlier.lastEntry && now.whiteCount == earlier.whiteCount
        && now.blackCount == earlier.blackCount && now.gameStarted == earlier.gameStarted
        && std::memcmp(now.board, earlier.board, sizeof now.board) == 0
        && std::memcmp(now.playable, earlier.playable, sizeof now.playable) == 0
        && std::memcmp(now.record, earlier.record, sizeof now.record) == 0;
}

// Checks the invariants; the computer's choices are replayed too when `thorough` is set, which
// costs a search per black turn and is kept for the end of the input. A command that changed
// nothing (most releases at random positions) is not checked again.
void check(const GameFlow &flow, std::size_t command, bool thorough, GameState &lastChecked)
{
    using tavrin::invariants::ReplayCheck;
    if (!thorough && command > 0 && sameGame(flow, lastChecked))
        return;
    lastChecked = flow;
    tavrin::invariants::CheckPoint point;
    point.countsTaken = flow.gameStarted == 1;
    point.exchangeCompleted = flow.gameStarted == 1 && !flow.programEnded();
    point.replay = flow.gameStarted != 1 ? ReplayCheck::None
        : thorough                       ? ReplayCheck::StonesAndComputer
                                         : ReplayCheck::Stones;
    if (const auto fault = tavrin::invariants::firstFault(flow, point)) {
        std::fprintf(stderr, "invariant broken after command %zu: %s\n", command, fault->c_str());
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    ByteSource source(data, size);
    FuzzWindow window(source);
    GameFlow flow(window);
    // As at window load: the starting position is on the board before the first game.
    flow.placeStartingStones();
    GameState lastChecked;
    check(flow, 0, false, lastChecked);
    std::size_t command = 0;
    while (!source.exhausted() && !flow.programEnded()) {
        runCommand(flow, source);
        check(flow, ++command, false, lastChecked);
    }
    check(flow, command, true, lastChecked);
    return 0;
}
