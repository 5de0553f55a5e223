// tavrin-replay: checks a saved move record and shows a position of its game.

#include "replay/board_picture.h"
#include "replay/position_text.h"
#include "replay/record_reader.h"
#include "replay/replay.h"
#include "replay/review_window.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSaveFile>
#include <QTextStream>
#include <cstring>
#include <memory>

namespace {

// Exit statuses.
constexpr int kExitRecordFault = 1; // the record is malformed or illegal
constexpr int kExitUsage = 2; // a bad option, or a file that cannot be read or written

int fail(int status, const QString &message)
{
    QTextStream(stderr) << "tavrin-replay: " << message << '\n';
    return status;
}

// True when the command line holds option `name` (alone, or as `name=value`); looked at before
// any application object exists, because only a picture and the review window need the window
// system.
bool hasOption(int argc, char *argv[], const char *name)
{
    const std::size_t length = std::strlen(name);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            return false;
        }
        if (std::strncmp(argv[i], name, length) == 0
            && (argv[i][length] == '\0' || argv[i][length] == '=')) {
            return true;
        }
    }
    return false;
}

// Widgets need a platform; without a display the picture is drawn off screen all the same, but
// the review window has nowhere to go (nothing is made then).
std::unique_ptr<QCoreApplication> makeApplication(int &argc, char *argv[])
{
    const bool view = hasOption(argc, argv, "--view");
    if (!view && !hasOption(argc, argv, "--png")) {
        return std::make_unique<QCoreApplication>(argc, argv);
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        if (view) {
            return nullptr;
        }
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    return std::make_unique<QApplication>(argc, argv);
}

// Writes the picture so that a failure leaves any existing file as it was.
QString savePicture(const QImage &picture, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString();
    }
    if (!picture.save(&file, "PNG")) {
        file.cancelWriting();
        return QStringLiteral("the picture could not be encoded");
    }
    if (!file.commit()) {
        return file.errorString();
    }
    return QString();
}

QString faultMessage(const QString &path, const tavrin::replay::RecordError &error)
{
    return QStringLiteral("%1:%2: %3").arg(path).arg(error.line).arg(error.reason);
}

} // namespace

int main(int argc, char *argv[])
{
    const auto app = makeApplication(argc, argv);
    if (!app) {
        return fail(
            kExitUsage, QStringLiteral("--view needs a display (DISPLAY or WAYLAND_DISPLAY)"));
    }
    QCoreApplication::setApplicationName(QStringLiteral("tavrin-replay"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TAVRIN_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Replays a Tavrin move record (.tvr), checks that every move is legal "
                       "and prints the final position."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption stepOption(QStringLiteral("step"),
        QStringLiteral("Show the position after entry <n> instead of the last one."),
        QStringLiteral("n"));
    const QCommandLineOption checkComputerOption(QStringLiteral("check-computer"),
        QStringLiteral("Also check that each of black's turns is the computer's own choice."));
    const QCommandLineOption pngOption(QStringLiteral("png"),
        QStringLiteral("Write a picture of the position to <file>."), QStringLiteral("file"));
    const QCommandLineOption viewOption(QStringLiteral("view"),
        QStringLiteral("Open the record in a window and step through its entries."));
    parser.addOptions({stepOption, checkComputerOption, pngOption, viewOption});
    parser.addPositionalArgument(QStringLiteral("record"), QStringLiteral("The .tvr file."));

    if (!parser.parse(QCoreApplication::arguments())) {
        return fail(kExitUsage, parser.errorText());
    }
    if (parser.isSet(QStringLiteral("help"))) {
        parser.showHelp(0);
    }
    if (parser.isSet(QStringLiteral("version"))) {
        parser.showVersion();
    }
    if (parser.positionalArguments().size() != 1) {
        return fail(kExitUsage, QStringLiteral("expected one record file; see --help"));
    }
    const QString path = parser.positionalArguments().constFirst();

    tavrin::replay::ReplayOptions options;
    options.checkComputer = parser.isSet(checkComputerOption);
    if (parser.isSet(stepOption)) {
        bool ok = false;
        options.step = parser.value(stepOption).toInt(&ok);
        if (!ok || options.step < 0) {
            return fail(kExitUsage, QStringLiteral("--step takes a whole number from 0"));
        }
    }
    const QString picturePath = parser.value(pngOption);
    if (parser.isSet(pngOption) && picturePath.isEmpty()) {
        return fail(kExitUsage, QStringLiteral("--png takes a file name"));
    }
    if (parser.isSet(viewOption)) {
        if (parser.isSet(pngOption)) {
            return fail(kExitUsage, QStringLiteral("--view and --png exclude each other"));
        }
        return tavrin::replay::runReview(path, options);
    }

    const auto file = tavrin::replay::readRecordFile(path);
    if (!file.failure.isEmpty()) {
        return fail(kExitUsage, QStringLiteral("%1: %2").arg(path, file.failure));
    }
    const auto record = tavrin::replay::parseRecord(file.bytes);
    if (record.error) {
        return fail(kExitRecordFault, faultMessage(path, *record.error));
    }
    if (options.step > static_cast<int>(record.entries.size())) {
        return fail(kExitUsage,
            QStringLiteral("--step %1 lies beyond the record's %2 entries")
                .arg(options.step)
                .arg(record.entries.size()));
    }
    const auto replayed = tavrin::replay::replayRecord(record.entries, options);
    if (replayed.error) {
        return fail(kExitRecordFault, faultMessage(path, *replayed.error));
    }

    if (!picturePath.isEmpty()) {
        const QString failure
            = savePicture(tavrin::replay::boardPicture(replayed.position), picturePath);
        if (!failure.isEmpty()) {
            return fail(kExitUsage, QStringLiteral("%1: %2").arg(picturePath, failure));
        }
    }
    QTextStream(stdout) << tavrin::replay::positionText(replayed.position, replayed.gameOver);
    return 0;
}
