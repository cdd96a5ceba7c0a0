#include "collection/card_pictures.h"

#include "data/dataset_guard.h"
#include "collection/jpeg_decoder.h"
#include "data/card_table.h"
#include "data/error.h"
#include "data/table.h"

#include <QDir>
#include <QFile>

namespace {

// Picture files beyond this size are refused before being read.
constexpr qint64 MaxPictureFileSize = 32LL * 1024 * 1024;

void openOnKey(Table &cardTable, const QStringList &key)
{
    cardTable.close();
    cardTable.open();
    if (!cardTable.findKey(key))
        throw AppError(QStringLiteral("La carte %1 n'existe plus dans la table des cartes.")
                           .arg(card::cardLine(key.value(card::NomFrancais), key.value(card::Origine))));
}

} // namespace

std::vector<QStringList> datasetKeys(Dataset &source)
{
    std::vector<QStringList> keys;
    source.close();
    source.open();
    DatasetGuard guard(source);
    keys.reserve(size_t(source.recordCount()));
    for (; !source.eof(); source.next())
        keys.push_back({source.field(card::NomFrancais).asString(),
                        source.field(card::NomAnglais).asString(),
                        source.field(card::Origine).asString()});
    return keys;
}

QByteArray readPicture(Table &cardTable, const QStringList &key)
{
    DatasetGuard guard(cardTable);
    openOnKey(cardTable, key);
    return cardTable.field(card::Dessin).asBytes();
}

void storePictureFile(Table &cardTable, const QStringList &key, const QString &filePath)
{
    const QString shownPath = QDir::toNativeSeparators(filePath);
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Impossible de lire le fichier %1 : %2").arg(shownPath, file.errorString()));
    if (file.size() > MaxPictureFileSize)
        throw AppError(QStringLiteral("Le fichier %1 est trop gros pour une image de carte.").arg(shownPath));
    const QByteArray bytes = file.readAll();
    if (!looksLikeJpeg(bytes))
        throw AppError(QStringLiteral("Le fichier %1 n'est pas une image JPEG : rien n'a été enregistré.")
                           .arg(shownPath));
    try {
        decodeJpeg(bytes);
    } catch (const AppError &e) {
        throw AppError(QStringLiteral("Le fichier %1 n'est pas une image JPEG lisible : rien n'a été enregistré.\n%2")
                           .arg(shownPath, e.message()));
    }

    DatasetGuard guard(cardTable);
    openOnKey(cardTable, key);
    cardTable.edit();
    try {
        cardTable.field(card::Dessin).setAsBytes(bytes);
        cardTable.post();
    } catch (...) {
        cardTable.cancel();
        throw;
    }
}
