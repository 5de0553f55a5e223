#include "played_game.h"

#include <QColor>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using tavrin::test::playWholeGame;

namespace {

// What one run of the program gave.
struct Run
{
    int status = -1;
    QString out;
    QString err;
};

// Lines of the program's messages, without the platform's own warnings about its environment.
QStringList messageLines(const QString &err)
{
    QStringList lines;
    for (const QString &line : err.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        if (line.startsWith(QLatin1String("tavrin-replay: ")))
            lines.append(line);
    return lines;
}

// Board rows after white (10, 9) and the computer's answer (10, 8).
const QStringList kAfterFirstExchange
    = {"................", "................", "................", "................",
        "................", "................", "................", ".......xxx......",
        ".......ooo......", "................", "................", "................",
        "................", "................", "................", "................"};

// Pixel colours the board picture uses.
const QColor kBoardColour(0xFF, 0xC0, 0x80);
const QColor kWhiteColour(0xFF, 0xFF, 0xFF);
const QColor kBlackColour(0x00, 0x00, 0x00);
const QColor kGridColour(0x00, 0xFF, 0xFF);
constexpr int kPicturePixels = 340;

// Centre pixel of cell (x, y), 1..16 each, in a picture of kPicturePixels.
QPoint cellCentre(int x, int y)
{
    const double cell = kPicturePixels / 16.0;
    return QPoint(static_cast<int>((x - 0.5) * cell), static_cast<int>((y - 0.5) * cell));
}

} // namespace

class ReplayCliTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void exitStatusAndMessage_data();
    void exitStatusAndMessage();
    void gameRecordPrintsFinalBoardAndResult();
    void stepPrintsThatPosition();
    void checkComputerNamesDoctoredEntry();
    void pictureShowsPosition_data();
    void pictureShowsPosition();
    void pictureFailureKeepsOldFile();

private:
    Run run(const QStringList &arguments,
        const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());
    QString writeRecord(const QString &name, const QByteArray &bytes);

    std::unique_ptr<QTemporaryDir> folder_;
};

void ReplayCliTest::init()
{
    folder_ = std::make_unique<QTemporaryDir>();
    QVERIFY(folder_->isValid());
}

Run ReplayCliTest::run(const QStringList &arguments, const QProcessEnvironment &environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TAVRIN_REPLAY_PROGRAM), arguments);
    Run result;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.status = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QString ReplayCliTest::writeRecord(const QString &name, const QByteArray &bytes)
{
    const QString path = folder_->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

void ReplayCliTest::exitStatusAndMessage_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message"); // after "tavrin-replay: "; %1 is the record's path

    QTest::newRow("legal record") << QStringList() << QByteArray(" 10  9 \r\n 10  8 \r\n") << 0
                                  << QString();
    QTest::newRow("empty record") << QStringList() << QByteArray() << 0 << QString();
    QTest::newRow("illegal move") << QStringList() << QByteArray(" 10  9 \r\n 10  8 \r\n 1  1 \r\n")
                                  << 1 << QStringLiteral("%1:3: illegal move for white at (1, 1)");
    QTest::newRow("bad number") << QStringList() << QByteArray(" 10  9 \r\n 17  8 \r\n") << 1
                                << QStringLiteral(
                                       "%1:2: bad number \"17\" (0 to 16 without leading zeros)");
    QTest::newRow("binary bytes") << QStringList() << QByteArray("\x89PNG\r\n\x1A\n", 8) << 1
                                  << QStringLiteral("%1:1: not a text record (binary data)");
    QTest::newRow("unknown option")
        << QStringList {QStringLiteral("--bogus")} << QByteArray(" 10  9 \r\n") << 2
        << QStringLiteral("Unknown option 'bogus'.");
    QTest::newRow("step beyond the record")
        << QStringList {QStringLiteral("--step"), QStringLiteral("3")}
        << QByteArray(" 10  9 \r\n 10  8 \r\n") << 2
        << QStringLiteral("--step 3 lies beyond the record's 2 entries");
    QTest::newRow("step not a number")
        << QStringList {QStringLiteral("--step"), QStringLiteral("two")}
        << QByteArray(" 10  9 \r\n") << 2 << QStringLiteral("--step takes a whole number from 0");
}

void ReplayCliTest::exitStatusAndMessage()
{
    QFETCH(QStringList, options);
    QFETCH(QByteArray, record);
    QFETCH(int, status);
    QFETCH(QString, message);
    const QString path = writeRecord(QStringLiteral("game.tvr"), record);
    QVERIFY(!path.isEmpty());

    const Run result = run(options << path);
    QCOMPARE(result.status, status);
    if (message.isEmpty()) {
        QVERIFY(messageLines(result.err).isEmpty());
        QVERIFY(result.out.contains(QLatin1String("white (o): ")));
    } else {
        QCOMPARE(messageLines(result.err),
            QStringList {QStringLiteral("tavrin-replay: ") + message.arg(path)});
        QVERIFY(result.out.isEmpty());
    }
}

void ReplayCliTest::gameRecordPrintsFinalBoardAndResult()
{
    const auto game = playWholeGame(4);
    QVERIFY(game.ended);
    const QString path = writeRecord(QStringLiteral("whole.tvr"), game.record);
    const Run result = run({path});
    QCOMPARE(result.status, 0);

    const QStringList lines = result.out.split(QLatin1Char('\n'));
    for (int y = 1; y <= 16; ++y) {
        QStringList cells = lines.value(y).simplified().split(QLatin1Char(' '));
        QCOMPARE(cells.takeFirst(), QString::number(y));
        QCOMPARE(cells.join(QString()), game.board[y - 1]);
    }
    QCOMPARE(lines.value(17),
        QStringLiteral("white (o): %1  black (x): %2").arg(game.white).arg(game.black));
    const QString result17 = game.white > game.black
        ? QStringLiteral("Congratulations , 重新来一盘？")
        : game.white < game.black ? QStringLiteral("Bad luck , 重新来一盘？")
                                  : QStringLiteral("Not too bad , 重新来一盘？");
    QCOMPARE(lines.value(18), result17);
}

void ReplayCliTest::stepPrintsThatPosition()
{
    const QString path
        = writeRecord(QStringLiteral("opening.tvr"), " 10  9 \r\n 10  8 \r\n 9  7 \r\n 0  0 \r\n");
    const Run result = run({QStringLiteral("--step"), QStringLiteral("2"), path});
    QCOMPARE(result.status, 0);
    const QStringList lines = result.out.split(QLatin1Char('\n'));
    for (int y = 1; y <= 16; ++y) {
        QStringList cells = lines.value(y).simplified().split(QLatin1Char(' '));
        cells.removeFirst();
        QCOMPARE(cells.join(QString()), kAfterFirstExchange[y - 1]);
    }
    QCOMPARE(lines.value(17), QStringLiteral("white (o): 3  black (x): 3"));
}

void ReplayCliTest::checkComputerNamesDoctoredEntry()
{
    // (8, 10) is open to black after white's (10, 9), but the computer takes (10, 8).
    const QString path = writeRecord(QStringLiteral("doctored.tvr"), " 10  9 \r\n 8  10 \r\n");
    QCOMPARE(run({path}).status, 0);
    const Run result = run({QStringLiteral("--check-computer"), path});
    QCOMPARE(result.status, 1);
    QCOMPARE(messageLines(result.err),
        QStringList {QStringLiteral("tavrin-replay: %1:2: the computer plays (10, 8) here, the "
                                    "record has (8, 10)")
                         .arg(path)});

    const QString game = writeRecord(QStringLiteral("game.tvr"), playWholeGame(9).record);
    QCOMPARE(run({QStringLiteral("--check-computer"), game}).status, 0);
}

void ReplayCliTest::pictureShowsPosition_data()
{
    QTest::addColumn<bool>("withDisplaySettings");
    QTest::newRow("offscreen platform") << true;
    QTest::newRow("no display at all") << false;
}

void ReplayCliTest::pictureShowsPosition()
{
    QFETCH(bool, withDisplaySettings);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!withDisplaySettings) {
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    }
    const QString record = writeRecord(QStringLiteral("opening.tvr"), " 10  9 \r\n 10  8 \r\n");
    const QString picturePath = folder_->filePath(QStringLiteral("opening.png"));
    const Run result = run({QStringLiteral("--png"), picturePath, record}, environment);
    QCOMPARE(result.status, 0);

    const QImage picture(picturePath, "PNG");
    QCOMPARE(picture.size(), QSize(kPicturePixels, kPicturePixels));
    for (int y = 1; y <= 16; ++y) {
        for (int x = 1; x <= 16; ++x) {
            const QChar cell = kAfterFirstExchange[y - 1][x - 1];
            const QColor expected = cell == QLatin1Char('o') ? kWhiteColour
                : cell == QLatin1Char('x')                   ? kBlackColour
                                                             : kBoardColour;
            QCOMPARE(picture.pixelColor(cellCentre(x, y)), expected);
        }
    }
    // A grid line runs between column 1 and column 2.
    const int line = static_cast<int>(kPicturePixels / 16.0);
    QCOMPARE(picture.pixelColor(line, cellCentre(1, 5).y()), kGridColour);
}

void ReplayCliTest::pictureFailureKeepsOldFile()
{
    // A faulty record writes no picture and leaves an earlier one alone.
    const QString record = writeRecord(QStringLiteral("bad.tvr"), " 1  1 \r\n");
    const QString picturePath = writeRecord(QStringLiteral("old.png"), "earlier picture");
    const Run result = run({QStringLiteral("--png"), picturePath, record});
    QCOMPARE(result.status, 1);
    QFile picture(picturePath);
    QVERIFY(picture.open(QIODevice::ReadOnly));
    QCOMPARE(picture.readAll(), QByteArray("earlier picture"));

    const Run unwritable
        = run({QStringLiteral("--png"), folder_->filePath(QStringLiteral("no/such/folder/x.png")),
            writeRecord(QStringLiteral("good.tvr"), " 10  9 \r\n")});
    QCOMPARE(unwritable.status, 2);
    QCOMPARE(messageLines(unwritable.err).size(), 1);
}

QTEST_GUILESS_MAIN(ReplayCliTest)
#include "tst_replay_cli.moc"
