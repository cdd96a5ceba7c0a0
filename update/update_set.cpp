#include "update/update_set.h"

#include "data/error.h"
#include "data/text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {

constexpr char CarriageReturn = 13;
constexpr char LineFeed = 10;
constexpr char EndOfText = 26;

// Copy(text, start, count) with a 1-based start; nothing for a count of zero
// or less.
QString copy(const QString &text, qsizetype start, qsizetype count)
{
    if (count <= 0)
        return {};
    return text.mid(start - 1, count);
}

// The text from its 1-based `start` on.
QString from(const QString &text, qsizetype start)
{
    return text.mid(start - 1);
}

// The file itself, or the one of its folder whose name differs only in
// letter case (sets made on systems that ignore case).
QString existingFile(const QString &path)
{
    const QFileInfo file(path);
    if (file.isFile())
        return path;
    const QDir folder = file.absoluteDir();
    if (folder.exists()) {
        for (const QString &entry : folder.entryList(QDir::Files | QDir::Hidden)) {
            if (QString::compare(entry, file.fileName(), Qt::CaseInsensitive) == 0)
                return folder.filePath(entry);
        }
    }
    throw AppError(QStringLiteral("Fichier introuvable : %1").arg(QDir::toNativeSeparators(path)));
}

} // namespace

UpdateLine cutLine(const QString &line)
{
    UpdateLine cut;
    const qsizetype p = line.indexOf(QStringLiteral("###")) + 1; // 0 when absent
    cut.a = copy(line, 1, p - 1);
    const QString rest = from(line, p + 3);
    const qsizetype q = rest.indexOf(QStringLiteral("%%%")) + 1;
    cut.b = copy(rest, 1, q - 1);
    cut.c = from(rest, q + 3);
    return cut;
}

QStringList splitUpdateText(const QByteArray &bytes)
{
    QStringList lines;
    QStringDecoder decoder("windows-1252");
    const qsizetype end = bytes.size();
    qsizetype position = 0;
    while (position < end && bytes[position] != EndOfText) {
        const qsizetype start = position;
        while (position < end && bytes[position] != CarriageReturn && bytes[position] != EndOfText)
            ++position;
        lines << decoder.decode(QByteArrayView(bytes).sliced(start, position - start));
        if (position < end && bytes[position] == CarriageReturn) {
            ++position;
            if (position < end && bytes[position] == LineFeed)
                ++position;
        }
    }
    return lines;
}

QStringList readUpdateLines(const QString &path)
{
    return splitUpdateText(readFileBytes(existingFile(path)));
}

QString textBaseName(const QString &chosenPath)
{
    const qsizetype folderEnd =
        qMax(chosenPath.lastIndexOf(QLatin1Char('/')), chosenPath.lastIndexOf(QLatin1Char('\\')));
    const qsizetype dot = chosenPath.lastIndexOf(QLatin1Char('.'));
    if (dot <= folderEnd)
        return chosenPath;
    return chosenPath.left(dot);
}

QString tableBaseName(const QString &chosenPath)
{
    return chosenPath.left(qMax<qsizetype>(0, chosenPath.size() - 4));
}
