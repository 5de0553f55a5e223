#include "game_state.h"
#include "record_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using tavrin::GameState;
using tavrin::stepxy;

using Entries = QList<QPair<int, int>>;

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll();
}

// A file name of 250 characters: valid on its own, but too long for the temporary file that a
// safe save writes beside it, so any save to it fails whoever runs the test.
QString tooLongForASafeSave()
{
    return QString(246, QLatin1Char('g')) + QStringLiteral(".tvr");
}

} // namespace

class RecordFileTest : public QObject
{
    Q_OBJECT

private slots:
    void recordTextHoldsEntriesOneToStepnum_data();
    void recordTextHoldsEntriesOneToStepnum();
    void fullRecordWritesAll256Entries();
    void normalizedSaveName_data();
    void normalizedSaveName();
    void initialSaveFolder_data();
    void initialSaveFolder();
    void saveRecordReplacesAnExistingFile();
    void failedSaveReportsReasonAndKeepsOldFile();
};

void RecordFileTest::recordTextHoldsEntriesOneToStepnum_data()
{
    QTest::addColumn<Entries>("entries");
    QTest::addColumn<int>("stepnum");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("four-line example with a pass") << Entries {{10, 9}, {10, 8}, {0, 0},
        {8, 10}} << 4 << QByteArray(" 10  9 \r\n 10  8 \r\n 0  0 \r\n 8  10 \r\n");
    QTest::newRow("empty record writes nothing") << Entries {} << 0 << QByteArray();
    QTest::newRow("player's stone ends an odd record") << Entries {
        {7, 8}, {1, 16}, {16, 16}} << 3 << QByteArray(" 7  8 \r\n 1  16 \r\n 16  16 \r\n");
    QTest::newRow("entries after stepnum are left out")
        << Entries {{10, 9}, {10, 8}, {3, 3}} << 2 << QByteArray(" 10  9 \r\n 10  8 \r\n");
}

void RecordFileTest::recordTextHoldsEntriesOneToStepnum()
{
    QFETCH(Entries, entries);
    QFETCH(int, stepnum);
    QFETCH(QByteArray, text);

    GameState state;
    for (int i = 0; i < entries.size(); ++i)
        state.qipu[i + 1] = {static_cast<std::int16_t>(entries[i].first),
            static_cast<std::int16_t>(entries[i].second)};
    state.stepnum = static_cast<std::int16_t>(stepnum);
    QCOMPARE(tavrin::recordText(state), text);
}

void RecordFileTest::fullRecordWritesAll256Entries()
{
    GameState state;
    for (int i = 1; i <= 256; ++i)
        state.qipu[i] = {static_cast<std::int16_t>(i % 17), static_cast<std::int16_t>(i / 17)};
    state.stepnum = 256;

    const QList<QByteArray> lines = tavrin::recordText(state).split('\n');
    QCOMPARE(lines.size(), 257); // 256 lines and nothing after the last line end
    QCOMPARE(lines.first(), QByteArray(" 1  0 \r"));
    QCOMPARE(lines.at(255), QByteArray(" 1  15 \r"));
    QCOMPARE(lines.last(), QByteArray());
}

void RecordFileTest::normalizedSaveName_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("path");

    QTest::newRow("no dot gets the extension") << "/tmp/game1"
                                               << "/tmp/game1.tvr";
    QTest::newRow("a dot keeps the name") << "/tmp/game1.txt"
                                          << "/tmp/game1.txt";
    QTest::newRow("dotted folder does not count") << "/home/a/my.games/game1"
                                                  << "/home/a/my.games/game1.tvr";
    QTest::newRow("dotted folder and dotted name") << "/home/a/my.games/game1.rec"
                                                   << "/home/a/my.games/game1.rec";
    QTest::newRow("trailing dot is a dot") << "/tmp/game1."
                                           << "/tmp/game1.";
    QTest::newRow("cancelled dialog") << ""
                                      << "";
    QTest::newRow("spaces only") << "    "
                                 << "";
}

void RecordFileTest::normalizedSaveName()
{
    QFETCH(QString, chosen);
    QFETCH(QString, path);
    QCOMPARE(tavrin::normalizedSaveName(chosen), path);
}

void RecordFileTest::initialSaveFolder_data()
{
    QTest::addColumn<QString>("programFolder");
    QTest::addColumn<bool>("usesProgramFolder");

    static QTemporaryDir writable;
    QVERIFY(writable.isValid());
    QFile plainFile(writable.filePath(QStringLiteral("plain")));
    QVERIFY(plainFile.open(QIODevice::WriteOnly));

    QTest::newRow("writable program folder") << writable.path() << true;
    QTest::newRow("missing folder falls back to home") << writable.filePath("missing") << false;
    QTest::newRow("a file is no folder") << plainFile.fileName() << false;
    QTest::newRow("unknown program folder") << QString() << false;
}

void RecordFileTest::initialSaveFolder()
{
    QFETCH(QString, programFolder);
    QFETCH(bool, usesProgramFolder);
    QCOMPARE(tavrin::initialSaveFolder(programFolder),
        usesProgramFolder ? programFolder : QDir::homePath());
}

void RecordFileTest::saveRecordReplacesAnExistingFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("game.tvr"));
    QCOMPARE(tavrin::saveRecord(path, " 10  9 \r\n 10  8 \r\n 0  0 \r\n 8  10 \r\n"), QString());
    QCOMPARE(tavrin::saveRecord(path, " 7  8 \r\n"), QString());
    QCOMPARE(readAll(path), QByteArray(" 7  8 \r\n"));
}

void RecordFileTest::failedSaveReportsReasonAndKeepsOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(tooLongForASafeSave());
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old game\r\n");
    }
    QVERIFY(!tavrin::saveRecord(path, " 7  8 \r\n").isEmpty());
    QCOMPARE(readAll(path), QByteArray("old game\r\n"));

    QVERIFY(!tavrin::saveRecord(dir.filePath(QStringLiteral("missing/game.tvr")), "x").isEmpty());
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("missing/game.tvr"))));
}

QTEST_GUILESS_MAIN(RecordFileTest)
#include "tst_record_file.moc"
