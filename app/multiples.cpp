#include "app/multiples.h"

#include "data/card_table.h"
#include "data/dataset.h"
#include "data/error.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringEncoder>

namespace {

struct CloseOnExit {
    Dataset &dataset;
    ~CloseOnExit()
    {
        try {
            dataset.close();
        } catch (...) {
        }
    }
};

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

} // namespace

QStringList multiplesLines(Dataset &source, int multiplicite)
{
    QStringList lines;
    source.close();
    source.open();
    CloseOnExit closer{source};
    for (source.first(); !source.eof(); source.next()) {
        const qint64 copies = source.field(card::Dispo).asInteger()
                              + source.field(card::Utilise).asInteger();
        const bool kept = multiplicite >= 5 ? copies >= 5 : copies == multiplicite;
        if (kept && copies > 0)
            lines << card::countedLine(source.field(card::NomFrancais).asString(), copies,
                                       source.field(card::Origine).asString());
    }
    return lines;
}

void writeLinesFile(const QString &path, const QStringList &lines)
{
    const QString shownPath = QDir::toNativeSeparators(path);
    QStringEncoder encoder("windows-1252");
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes += encoder.encode(line);
        bytes += "\r\n";
    }

    // Written aside and put in place at the end, so a failure never leaves a
    // half-written list where the user expects a whole one.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        throw AppError(QStringLiteral("Impossible de créer le fichier %1 : %2.")
                           .arg(shownPath, fileProblem(path)));
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw AppError(QStringLiteral("Impossible d'écrire le fichier %1 : %2.")
                           .arg(shownPath, fileProblem(path)));
}
