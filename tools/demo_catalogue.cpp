#include "tools/catalogue_writer.h"

#include "data/card_table.h"
#include "data/error.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <array>
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

// The demo catalogue is a UTF-8 text file of tab-separated cells: a header
// line naming the fields, then one printing a line. An empty number cell is
// a blank number; the column "Dessin" names a JPEG file of pictures/.

namespace {

const QString CardsFile = QStringLiteral("cartes.tsv");
const QString PictureFolder = QStringLiteral("pictures");

struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf escape;
};

void leaveJpeg(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegErrors *>(info->err)->escape, 1);
}

void ignoreJpegMessage(j_common_ptr) {}

// True when libjpeg reads the picture's header; no C++ object lives in this
// frame, so leaving it by longjmp is safe.
bool readsAsJpeg(const unsigned char *bytes, unsigned long size)
{
    jpeg_decompress_struct info{};
    JpegErrors errors{};
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = leaveJpeg;
    errors.manager.output_message = ignoreJpegMessage;
    if (setjmp(errors.escape)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes, size);
    const bool ok
        = jpeg_read_header(&info, TRUE) == JPEG_HEADER_OK && info.image_width > 0 && info.image_height > 0;
    jpeg_destroy_decompress(&info);
    return ok;
}

[[noreturn]] void badLine(const QString &path, int line, const QString &why)
{
    throw AppError(QStringLiteral("Catalogue %1, ligne %2 : %3").arg(path, QString::number(line), why));
}

QVariant readNumber(const QString &cell, bool whole, const QString &path, int line, const QString &field)
{
    if (cell.isEmpty())
        return {};
    bool ok = false;
    QVariant value;
    if (whole)
        value = cell.toLongLong(&ok);
    else
        value = cell.toDouble(&ok);
    if (!ok)
        badLine(path, line, QStringLiteral("« %1 » n'est pas un nombre (champ %2).").arg(cell, field));
    return value;
}

int readCount(const QString &cell, const QString &path, int line, const QString &field)
{
    if (cell.isEmpty())
        return 0;
    bool ok = false;
    const int value = cell.toInt(&ok);
    if (!ok || value < 0)
        badLine(path, line,
                QStringLiteral("« %1 » n'est pas un nombre d'exemplaires (champ %2).").arg(cell, field));
    return value;
}

QByteArray readPicture(const QDir &pictures, const QString &name, const QString &path, int line)
{
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))
        || name.startsWith(QLatin1Char('.')))
        badLine(path, line,
                QStringLiteral("le dessin « %1 » doit être un nom de fichier du dossier %2.")
                    .arg(name, PictureFolder));
    QFile file(pictures.filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        badLine(path, line, QStringLiteral("dessin introuvable : %1").arg(file.fileName()));
    const QByteArray bytes = file.readAll();
    if (!readsAsJpeg(reinterpret_cast<const unsigned char *>(bytes.constData()),
                     static_cast<unsigned long>(bytes.size())))
        badLine(path, line, QStringLiteral("le dessin %1 n'est pas une image JPEG.").arg(file.fileName()));
    return bytes;
}

} // namespace

std::vector<CardRow> demoCatalogue(const QString &catalogueDir)
{
    const QDir dir(catalogueDir);
    const QString path = dir.filePath(CardsFile);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Fichier introuvable : %1").arg(path));

    QStringDecoder decode(QStringDecoder::Utf8);
    const QString text = decode(file.readAll());
    if (decode.hasError())
        throw AppError(QStringLiteral("Le catalogue %1 n'est pas un texte UTF-8.").arg(path));

    const QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.isEmpty() || lines.first().trimmed().isEmpty())
        throw AppError(QStringLiteral("Le catalogue %1 n'a pas de ligne d'en-tête.").arg(path));

    // Column of each field, found by name in the header, letter case ignored.
    QStringList header = lines.first().split(QLatin1Char('\t'));
    for (QString &name : header)
        name = name.trimmed();
    std::array<int, card::FieldCount> column;
    column.fill(-1);
    for (int field = 0; field < card::FieldCount; ++field) {
        const QString &name = card::fieldNames().at(field);
        for (int c = 0; c < header.size(); ++c)
            if (header.at(c).compare(name, Qt::CaseInsensitive) == 0)
                column[field] = c;
        if (column[field] < 0 && field != card::Dessin)
            badLine(path, 1, QStringLiteral("la colonne %1 manque à l'en-tête.").arg(name));
    }

    const QDir pictures(dir.filePath(PictureFolder));
    std::vector<CardRow> rows;
    for (int i = 1; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        const int lineNumber = i + 1;
        const QStringList cells = line.split(QLatin1Char('\t'));
        if (cells.size() != header.size())
            badLine(path, lineNumber,
                    QStringLiteral("%1 cellules au lieu de %2.").arg(cells.size()).arg(header.size()));
        const auto cell
            = [&](card::Field field) { return column[field] < 0 ? QString() : cells.at(column[field]); };
        const auto name = [](card::Field field) { return card::fieldNames().at(field); };

        CardRow row;
        row.nomFrancais = cell(card::NomFrancais);
        row.nomAnglais = cell(card::NomAnglais);
        row.origine = cell(card::Origine);
        if (row.nomFrancais.isEmpty() && row.nomAnglais.isEmpty())
            badLine(path, lineNumber, QStringLiteral("la carte n'a pas de nom."));
        row.rarete = cell(card::Rarete);
        row.cote = readNumber(cell(card::Cote), false, path, lineNumber, name(card::Cote));
        row.couleur = cell(card::Couleur);
        row.cout = cell(card::Cout);
        row.force = readNumber(cell(card::Force), true, path, lineNumber, name(card::Force));
        row.endurance = readNumber(cell(card::Endurance), true, path, lineNumber, name(card::Endurance));
        row.type = cell(card::Type);
        row.dispo = readCount(cell(card::Dispo), path, lineNumber, name(card::Dispo));
        row.utilise = readCount(cell(card::Utilise), path, lineNumber, name(card::Utilise));
        row.echangeable = readCount(cell(card::Echangeable), path, lineNumber, name(card::Echangeable));
        row.cherche = readCount(cell(card::Cherche), path, lineNumber, name(card::Cherche));
        const QString picture = cell(card::Dessin);
        if (!picture.isEmpty())
            row.dessin = readPicture(pictures, picture, path, lineNumber);
        rows.push_back(std::move(row));
    }
    return rows;
}
