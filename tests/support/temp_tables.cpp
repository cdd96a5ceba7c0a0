#include "tests/support/temp_tables.h"

#include "data/card_table.h"

#include <QDir>
#include <QFile>

TempTables::TempTables(const std::vector<CardRow> &rows)
{
    writeCardTable(cardPath(), rows);
    writeCardTable(path(card::ExchangeFile), {}, QStringLiteral("ECHANGE"));
}

QString TempTables::cardPath() const
{
    return path(card::TableFile);
}

QString TempTables::path(const QString &fileName) const
{
    return QDir(m_dir.path()).filePath(fileName);
}

CardRow makeCard(const QString &french, const QString &english, const QString &edition,
                 int dispo, int utilise)
{
    CardRow row;
    row.nomFrancais = french;
    row.nomAnglais = english;
    row.origine = edition;
    row.rarete = QStringLiteral("C");
    row.cote = 1.0;
    row.couleur = QStringLiteral("Ver");
    row.cout = QStringLiteral("1G");
    row.force = 1;
    row.endurance = 1;
    row.type = QStringLiteral("Inv");
    row.dispo = dispo;
    row.utilise = utilise;
    return row;
}

CardRow codedCard(const QString &name, const QString &couleur, const QString &type, const QString &rarete,
                  int dispo, int utilise, const QVariant &cote, const QString &edition)
{
    CardRow row = makeCard(name, name + QStringLiteral(" EN"), edition, dispo, utilise);
    row.couleur = couleur;
    row.type = type;
    row.rarete = rarete;
    row.cote = cote;
    return row;
}

CardRow exchangeCard(const QString &french, const QString &edition, int dispo, int utilise, int echangeable,
                     int cherche)
{
    CardRow row = makeCard(french, french + QStringLiteral(" EN"), edition, dispo, utilise);
    row.echangeable = echangeable;
    row.cherche = cherche;
    return row;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

std::vector<CardRow> manyCards(int count)
{
    std::vector<CardRow> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back(makeCard(QStringLiteral("Carte %1").arg(i), QStringLiteral("Card %1").arg(i),
                                QStringLiteral("Base"), i % 2));
    return rows;
}

void damageMiddle(const QString &path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadWrite) && file.seek(file.size() / 2))
        file.write(QByteArray(8192, '\x5a'));
}
