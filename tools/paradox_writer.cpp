#include "tools/paradox_writer.h"

#include "tools/catalogue_writer.h"

#include "data/error.h"

#include <QFile>
#include <QFileInfo>
#include <QDir>
#include <QStringEncoder>

// pxlib's header declares C functions without extern "C".
extern "C" {
#include <paradox.h>
}

void writeParadoxTable(const QString &path, const std::vector<ParadoxField> &fields,
                       const std::vector<std::vector<QVariant>> &rows, int codePage,
                       int keyFields, bool withBlobFile)
{
    QStringEncoder encoder(codePage == 850 ? "IBM850" : "windows-1252");
    pxdoc_t *doc = PX_new();
    // pxlib owns the field list and frees it on close.
    auto *list = static_cast<pxfield_t *>(doc->malloc(doc, fields.size() * sizeof(pxfield_t), "fields"));
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const QByteArray name = encoder.encode(fields[i].name);
        list[i].px_fname = PX_strdup(doc, name.constData());
        list[i].px_ftype = fields[i].type;
        list[i].px_flen = fields[i].length;
        list[i].px_fdc = 0;
    }
    QFile::remove(path);
    if (PX_create_file(doc, list, int(fields.size()), QFile::encodeName(path).constData(),
                       keyFields > 0 ? pxfFileTypIndexDB : pxfFileTypNonIndexDB) < 0)
        throw AppError(QStringLiteral("Impossible de créer la table Paradox %1.").arg(path));
    PX_set_value(doc, "codepage", float(codePage));
    if (keyFields > 0)
        PX_set_value(doc, "numprimkeys", float(keyFields));
    if (withBlobFile) {
        const QFileInfo info(path);
        const QString blobPath = info.absoluteDir().filePath(info.completeBaseName() + QStringLiteral(".MB"));
        QFile::remove(blobPath);
        if (PX_set_blob_file(doc, QFile::encodeName(blobPath).constData()) < 0)
            throw AppError(QStringLiteral("Impossible de créer le fichier d'images de %1.").arg(path));
    }
    int recordSize = 0;
    for (const ParadoxField &field : fields)
        recordSize += field.length;
    QByteArray record(recordSize, '\0');
    for (const std::vector<QVariant> &row : rows) {
        record.fill('\0');
        char *data = record.data();
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const ParadoxField &field = fields[i];
            const QVariant &value = i < row.size() ? row[i] : QVariant();
            if (value.isValid()) {
                switch (field.type) {
                case pxfAlpha: {
                    QByteArray text = encoder.encode(value.toString());
                    PX_put_data_alpha(doc, data, field.length, text.data());
                    break;
                }
                case pxfShort: PX_put_data_short(doc, data, field.length, short(value.toLongLong())); break;
                case pxfLong: PX_put_data_long(doc, data, field.length, int(value.toLongLong())); break;
                case pxfNumber: PX_put_data_double(doc, data, field.length, value.toDouble()); break;
                case pxfLogical: PX_put_data_byte(doc, data, field.length, value.toBool() ? 1 : 0); break;
                case pxfDate: PX_put_data_long(doc, data, field.length, int(value.toLongLong())); break;
                default: {
                    QByteArray bytes = value.toByteArray();
                    if (!bytes.isEmpty())
                        PX_put_data_blob(doc, data, field.length, bytes.data(), int(bytes.size()));
                }
                }
            }
            data += field.length;
        }
        if (PX_put_record(doc, record.data()) < 0)
            throw AppError(QStringLiteral("Impossible d'écrire dans la table Paradox %1.").arg(path));
    }
    PX_close(doc);
    PX_delete(doc);
}

std::vector<ParadoxField> paradoxCardFields()
{
    return {
        {QStringLiteral("Nom_français"), pxfAlpha, 255}, {QStringLiteral("Nom_anglais"), pxfAlpha, 255},
        {QStringLiteral("Origine"), pxfAlpha, 255},     {QStringLiteral("Rarete"), pxfAlpha, 4},
        {QStringLiteral("Cote"), pxfNumber, 8},          {QStringLiteral("Couleur"), pxfAlpha, 8},
        {QStringLiteral("Coût"), pxfAlpha, 12},          {QStringLiteral("Force"), pxfNumber, 8},
        {QStringLiteral("Endurance"), pxfNumber, 8},     {QStringLiteral("Type"), pxfAlpha, 12},
        {QStringLiteral("Dispo"), pxfShort, 2},          {QStringLiteral("Utilise"), pxfShort, 2},
        {QStringLiteral("Echangeable"), pxfShort, 2},    {QStringLiteral("Cherche"), pxfLong, 4},
        {QStringLiteral("Dessin"), pxfBLOb, 10},
    };
}

std::vector<QVariant> paradoxCardRow(const CardRow &card)
{
    return {card.nomFrancais, card.nomAnglais, card.origine, card.rarete, card.cote,
            card.couleur, card.cout, card.force, card.endurance, card.type,
            qint64(card.dispo), qint64(card.utilise), qint64(card.echangeable), qint64(card.cherche),
            card.dessin.isEmpty() ? QVariant() : QVariant(card.dessin)};
}
