// Writes the fuzzer's seed corpus with pxlib's own writer: the card layout in
// both code pages with and without pictures, an empty table, a narrow table
// with logical and date fields.
#include "fuzz/fuzz_input.h"
#include "tools/paradox_writer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

extern "C" {
#include <paradox.h>
}

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::vector<QVariant> card(int i, int pictureSize)
{
    return {QStringLiteral("Élfe %1").arg(i), QStringLiteral("Elf %1").arg(i), QStringLiteral("Été"),
            QStringLiteral("C"), 12.5 + i, QStringLiteral("Ver"), QStringLiteral("2ç"), 2.0, QVariant(),
            QStringLiteral("Inv"), qint64(i % 4), qint64(1), qint64(0), qint64(70000),
            pictureSize ? QVariant(QByteArray(pictureSize, char('a' + i % 26))) : QVariant()};
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: paradox_fuzz_seeds CORPUS_DIR\n");
        return 2;
    }
    const QDir corpus(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(corpus.path());
    QTemporaryDir work;
    const QString table = work.filePath(QStringLiteral("T.DB"));
    const QString pictures = work.filePath(QStringLiteral("T.MB"));
    int written = 0;
    auto keep = [&](const char *name, const std::vector<ParadoxField> &fields,
                    const std::vector<std::vector<QVariant>> &rows, int codePage, int keys, bool blobs) {
        QFile::remove(pictures);
        writeParadoxTable(table, fields, rows, codePage, keys, blobs);
        QFile out(corpus.filePath(QString::fromLatin1(name)));
        if (!out.open(QIODevice::WriteOnly))
            return;
        out.write(joinFuzzInput({readFile(table), blobs ? readFile(pictures) : QByteArray()}));
        ++written;
    };

    std::vector<std::vector<QVariant>> pictured;
    for (int i = 0; i < 6; ++i)
        pictured.push_back(card(i, (i * 1700) % 5000));
    std::vector<std::vector<QVariant>> plain;
    for (int i = 0; i < 12; ++i)
        plain.push_back(card(i, 0));
    keep("cards_850_pictures", paradoxCardFields(), pictured, 850, 3, true);
    keep("cards_1252", paradoxCardFields(), plain, 1252, 3, false);
    keep("cards_empty", paradoxCardFields(), {}, 850, 3, false);
    keep("narrow", {{QStringLiteral("Nom"), pxfAlpha, 20}, {QStringLiteral("Vu"), pxfLogical, 1},
                    {QStringLiteral("Le"), pxfDate, 4}, {QStringLiteral("N"), pxfLong, 4}},
         {{QStringLiteral("Zèbre"), true, qint64(730120), qint64(5)}, {QStringLiteral("Âne"), false, QVariant(), QVariant()}},
         1252, 1, false);
    keep("graphic", {{QStringLiteral("Nom"), pxfAlpha, 10}, {QStringLiteral("Dessin"), pxfGraphic, 10},
                     {QStringLiteral("Note"), pxfMemoBLOb, 20}},
         {{QStringLiteral("a"), QByteArray(300, 'g'), QByteArray("memo")}, {QStringLiteral("b"), QVariant(), QVariant()}},
         850, 0, true);
    std::printf("%d seeds in %s\n", written, qPrintable(corpus.path()));
    return written == 5 ? 0 : 1;
}
