#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

class Dataset;
class Table;

// The keys (French name, English name, edition) of the rows of a dataset,
// in its order: the picture window moves through them in both directions.
std::vector<QStringList> datasetKeys(Dataset &source);

// The Dessin field of the card-table row with this key; empty when the row
// has no picture. Throws AppError when no row has the key.
QByteArray readPicture(Table &cardTable, const QStringList &key);

// Reads a JPEG file, checks that libjpeg can decode it, and stores its bytes
// in Dessin of the row with this key. A file that is not a readable JPEG, or
// a key that finds no row, throws AppError and stores nothing.
void storePictureFile(Table &cardTable, const QStringList &key, const QString &filePath);
