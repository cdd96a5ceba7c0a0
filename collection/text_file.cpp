#include "collection/text_file.h"

#include "data/error.h"

#include <QDir>

TextFileWriter::TextFileWriter(const QString &filePath)
    : m_file(filePath), m_encoder("windows-1252")
{
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw AppError(QStringLiteral("Impossible de créer le fichier %1 : %2")
                           .arg(QDir::toNativeSeparators(filePath), m_file.errorString()));
}

void TextFileWriter::writeLine(const QString &line)
{
    QByteArray bytes = m_encoder.encode(line);
    bytes.append("\r\n", 2);
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
    const QString message = QStringLiteral("Erreur d'écriture dans le fichier %1 : %2")
                                .arg(QDir::toNativeSeparators(m_file.fileName()), m_file.errorString());
    m_file.close();
    throw AppError(message);
}
