#include "flow/record_file.h"

#include "flow/atomic_save.h"
#include "flow/flow_texts.h"
#include "game/game_state.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace tavrin {

namespace {

// A number as a record line writes it: a space in the place of the sign, then the digits.
QByteArray signedField(std::int16_t value)
{
    return (value < 0 ? QByteArray() : QByteArrayLiteral(" ")) + QByteArray::number(value);
}

} // namespace

QByteArray recordText(const GameState &state)
{
    QByteArray text;
    const int last = std::min<int>(state.lastEntry, kRecordCapacity);
    for (int i = 1; i <= last; ++i) {
        const RecordEntry &entry = state.record[i];
        text += signedField(entry.x) + ' ' + signedField(entry.y) + " \r\n";
    }
    return text;
}

QString normalizedSaveName(const QString &chosen)
{
    // Only the file's own name decides: the dialog gives its folder before a name of blanks, and
    // a dotted folder must not hide a missing extension.
    const QString ownName = chosen.mid(chosen.lastIndexOf(QLatin1Char('/')) + 1);
    if (std::all_of(ownName.begin(), ownName.end(), [](QChar c) { return c == QLatin1Char(' '); }))
        return {};
    if (isFilePattern(ownName))
        return {};
    if (ownName.contains(QLatin1Char('.')))
        return chosen;
    return chosen + flowtext::kRecordExtension;
}

bool isFilePattern(const QString &fileName)
{
    return fileName.contains(QLatin1Char('*')) || fileName.contains(QLatin1Char('?'));
}

QString initialSaveFolder(const QString &programFolder)
{
    const QFileInfo folder(programFolder);
    if (!programFolder.isEmpty() && folder.isDir() && folder.isWritable())
        return programFolder;
    return QDir::homePath();
}

QString initialSaveFolder()
{
    // Without an application object there is no known program folder.
    const QString programFolder
        = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    return initialSaveFolder(programFolder);
}

QString initialSaveName()
{
    return initialSaveFolder() + QLatin1Char('/') + flowtext::kRecordPattern;
}

Result<> saveRecord(const QString &path, const QByteArray &bytes)
{
    return saveAtomically(QFile::encodeName(path), bytes, flowtext::kNotRegularFile);
}

} // namespace tavrin
