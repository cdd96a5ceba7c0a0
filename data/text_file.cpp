#include "data/text_file.h"

#include "data/error.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

// A character the code page lacks comes out of the encoder as byte 26, the
// mark that ends a text when it is read back: it is written "?" instead.
QByteArray encodeLine(QStringEncoder &encoder, const QString &line)
{
    QByteArray bytes = encoder.encode(line);
    bytes.replace('\x1a', '?');
    bytes.append("\r\n", 2);
    return bytes;
}

// Qt's own file error texts are in English: say in French what went wrong.
QString fileProblem(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return QStringLiteral("c'est un dossier");
    if (!info.absoluteDir().exists())
        return QStringLiteral("le dossier n'existe pas");
    if (info.exists() && !info.isWritable())
        return QStringLiteral("le fichier est protégé en écriture");
    if (!QFileInfo(info.absolutePath()).isWritable())
        return QStringLiteral("accès refusé au dossier");
    return QStringLiteral("erreur d'entrée/sortie");
}

[[noreturn]] void cannotCreate(const QString &path)
{
    throw AppError(QStringLiteral("Impossible de créer le fichier %1 : %2.")
                       .arg(QDir::toNativeSeparators(path), fileProblem(path)));
}

[[noreturn]] void cannotWrite(const QString &path)
{
    throw AppError(QStringLiteral("Impossible d'écrire le fichier %1 : %2.")
                       .arg(QDir::toNativeSeparators(path), fileProblem(path)));
}

} // namespace

TextFileWriter::TextFileWriter(const QString &filePath)
    : m_file(filePath), m_encoder("windows-1252")
{
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        cannotCreate(filePath);
}

void TextFileWriter::writeLine(const QString &line)
{
    const QByteArray bytes = encodeLine(m_encoder, line);
    if (m_file.write(bytes) != bytes.size())
        fail();
}

void TextFileWriter::close()
{
    if (!m_file.flush())
        fail();
    m_file.close();
    if (m_file.error() != QFileDevice::NoError)
        fail();
}

void TextFileWriter::fail()
{
    m_file.close();
    cannotWrite(m_file.fileName());
}

void writeLinesFile(const QString &path, const QStringList &lines)
{
    QStringEncoder encoder("windows-1252");
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += encodeLine(encoder, line);

    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        cannotCreate(path);
    if (file.write(bytes) != bytes.size() || !file.commit())
        cannotWrite(path);
}

QByteArray readFileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Impossible de lire le fichier %1.").arg(QDir::toNativeSeparators(path)));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw AppError(QStringLiteral("Erreur de lecture du fichier %1.").arg(QDir::toNativeSeparators(path)));
    return bytes;
}

QStringList readLinesFile(const QString &path)
{
    QString text = QStringDecoder("windows-1252").decode(readFileBytes(path));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    // The line end of the last line opens no line of its own.
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}
