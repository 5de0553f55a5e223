// tavrin-replay: checks a saved move record and shows a position of its game.

#include "flow/atomic_save.h"
#include "replay/board_picture.h"
#include "replay/position_text.h"
#include "replay/record_reader.h"
#include "replay/replay.h"
#include "replay/review_window.h"

#include <QApplication>
#include <QBuffer>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <variant>

namespace {

// Exit statuses.
constexpr int kExitRecordFault = 1; // the record is malformed or illegal
constexpr int kExitUsage = 2; // a bad option, or a file that cannot be read or written

int fail(int status, const QString &message)
{
    QTextStream(stderr) << "tavrin-replay: " << message << '\n';
    return status;
}

// Writes `text` to standard output; output that cannot be written (a full device, a closed
// stream) fails the program like a picture that cannot be written.
int print(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    const auto size = static_cast<std::size_t>(bytes.size());
    if (std::fwrite(bytes.constData(), 1, size, stdout) != size || std::fflush(stdout) != 0) {
        return fail(kExitUsage, QStringLiteral("standard output: ") + qt_error_string(errno));
    }
    return 0;
}

// A standard stream the program was started without is taken by /dev/null, opened for reading
// only: no file the program opens takes its number and receives its output, and writing to it
// fails as writing to the closed stream would.
void holdClosedStandardStreams()
{
    for (int stream = STDIN_FILENO; stream <= STDERR_FILENO; ++stream) {
        if (::fcntl(stream, F_GETFD) == -1 && errno == EBADF) {
            ::open("/dev/null", O_RDONLY); // the lowest free number, which is `stream`
        }
    }
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

// Without a runtime folder Qt's GUI warns on stderr and makes one under /tmp for good; a picture
// or the review window gets a private one instead, removed when the program ends.
void providePrivateRuntimeFolder()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        return;
    }
    static QTemporaryDir folder; // mode 0700, as the runtime folder must be
    if (folder.isValid()) {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder.path()));
    }
}

// Widgets need a platform. A picture is always drawn off screen (unless a platform is asked
// for), so a missing or stale display cannot stop it; the review window needs a display and has
// nowhere to go without one (nothing is made then).
std::unique_ptr<QCoreApplication> makeApplication(int &argc, char *argv[])
{
    const bool view = hasOption(argc, argv, "--view");
    if (!view && !hasOption(argc, argv, "--png")) {
        return std::make_unique<QCoreApplication>(argc, argv);
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        if (!view) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        } else if (qEnvironmentVariableIsEmpty("DISPLAY")
            && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
            return nullptr;
        }
    }
    providePrivateRuntimeFolder();
    return std::make_unique<QApplication>(argc, argv);
}

// The arguments left after the application took its own, each byte as one Latin-1 character:
// parsed that way, a file name comes back as exactly the bytes given (QString::toLatin1), whether
// or not they are valid in the locale's encoding.
QStringList byteArguments(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLatin1(argv[i]));
    }
    return arguments;
}

// Text made of byte arguments, as the user's locale shows it.
QString shown(const QString &byteText)
{
    return QFile::decodeName(byteText.toLatin1());
}

// The options of the command line, registered with `parser`.
struct Options
{
    QCommandLineOption step {QStringLiteral("step"),
        QStringLiteral("Show the position after entry <n> instead of the last one."),
        QStringLiteral("n")};
    QCommandLineOption checkComputer {QStringLiteral("check-computer"),
        QStringLiteral("Also check that each of black's turns is the computer's own choice.")};
    QCommandLineOption png {QStringLiteral("png"),
        QStringLiteral("Write a picture of the position to <file>."), QStringLiteral("file")};
    QCommandLineOption view {QStringLiteral("view"),
        QStringLiteral("Open the record in a window and step through its entries.")};

    explicit Options(QCommandLineParser &parser)
    {
        parser.setApplicationDescription(
            QStringLiteral("Replays a Tavrin move record (.tvr), checks that every move is legal "
                           "and prints the final position."));
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addOptions({step, checkComputer, png, view});
        parser.addPositionalArgument(QStringLiteral("record"), QStringLiteral("The .tvr file."));
    }
};

// What the command line asks for, the file names as the bytes given.
struct Request
{
    QByteArray recordName;
    QByteArray pictureName; // empty without --png
    bool view = false; // open the review window
    tavrin::replay::ReplayOptions replayOptions;
};

// The request of a parsed command line, or the exit status after a usage fault.
std::variant<Request, int> requestOf(const QCommandLineParser &parser, const Options &options)
{
    if (parser.positionalArguments().size() != 1) {
        return fail(kExitUsage, QStringLiteral("expected one record file; see --help"));
    }
    Request request;
    request.recordName = parser.positionalArguments().constFirst().toLatin1();
    request.replayOptions.checkComputer = parser.isSet(options.checkComputer);
    if (parser.isSet(options.step)) {
        bool ok = false;
        request.replayOptions.step = parser.value(options.step).toInt(&ok);
        if (!ok || request.replayOptions.step < 0) {
            return fail(kExitUsage, QStringLiteral("--step takes a whole number from 0"));
        }
    }
    request.pictureName = parser.value(options.png).toLatin1();
    if (parser.isSet(options.png) && request.pictureName.isEmpty()) {
        return fail(kExitUsage, QStringLiteral("--png takes a file name"));
    }
    request.view = parser.isSet(options.view);
    if (request.view && parser.isSet(options.png)) {
        return fail(kExitUsage, QStringLiteral("--view and --png exclude each other"));
    }
    return request;
}

// What the command line asks for; the exit status instead when the program is done with it: after
// a usage fault, the help or the version.
std::variant<Request, int> parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    const Options options(parser);
    if (!parser.parse(arguments)) {
        return fail(kExitUsage, shown(parser.errorText()));
    }
    if (parser.isSet(QStringLiteral("help"))) {
        return print(parser.helpText());
    }
    if (parser.isSet(QStringLiteral("version"))) {
        return print(QCoreApplication::applicationName() + QLatin1Char(' ')
            + QCoreApplication::applicationVersion() + QLatin1Char('\n'));
    }
    return requestOf(parser, options);
}

// Writes the picture as a PNG file so that a failure leaves any existing file as it was.
tavrin::Result<> savePicture(const QImage &picture, const QByteArray &name)
{
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "PNG")) {
        return tavrin::Failure {QStringLiteral("the picture could not be encoded")};
    }
    return tavrin::saveAtomically(name, png, QStringLiteral("not a regular file"));
}

QString faultMessage(const QString &path, const tavrin::replay::RecordError &error)
{
    return QStringLiteral("%1:%2: %3").arg(path).arg(error.line).arg(error.reason);
}

// Reads, checks and replays the record, then draws and prints the position asked for.
int run(const Request &request)
{
    using namespace tavrin::replay;
    if (request.view) {
        return runReview(request.recordName, request.replayOptions);
    }
    const QString path = QFile::decodeName(request.recordName);
    const tavrin::Result<QByteArray> file = readRecordFile(request.recordName);
    if (!file) {
        return fail(kExitUsage, QStringLiteral("%1: %2").arg(path, file.reason()));
    }
    const RecordText record = parseRecord(file.value());
    if (record.error) {
        return fail(kExitRecordFault, faultMessage(path, *record.error));
    }
    if (request.replayOptions.step > static_cast<int>(record.entries.size())) {
        return fail(kExitUsage,
            QStringLiteral("--step %1 lies beyond the record's %2 entries")
                .arg(request.replayOptions.step)
                .arg(record.entries.size()));
    }
    const ReplayResult replayed = replayRecord(record.entries, request.replayOptions);
    if (replayed.error) {
        return fail(kExitRecordFault, faultMessage(path, *replayed.error));
    }
    if (!request.pictureName.isEmpty()) {
        const tavrin::Result<> saved
            = savePicture(boardPicture(replayed.position), request.pictureName);
        if (!saved) {
            const QString picturePath = QFile::decodeName(request.pictureName);
            return fail(kExitUsage, QStringLiteral("%1: %2").arg(picturePath, saved.reason()));
        }
    }
    return print(positionText(replayed.position, replayed.gameOver));
}

} // namespace

int main(int argc, char *argv[])
{
    // A file-size limit makes a write fail instead of killing the program in the middle of a save.
    std::signal(SIGXFSZ, SIG_IGN);
    holdClosedStandardStreams();
    const auto app = makeApplication(argc, argv);
    if (!app) {
        return fail(
            kExitUsage, QStringLiteral("--view needs a display (DISPLAY or WAYLAND_DISPLAY)"));
    }
    QCoreApplication::setApplicationName(QStringLiteral("tavrin-replay"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TAVRIN_VERSION));
    const auto parsed = parseCommandLine(byteArguments(argc, argv));
    if (const int *status = std::get_if<int>(&parsed)) {
        return *status;
    }
    return run(std::get<Request>(parsed));
}
