#include "tools/makedb_command.h"

#include "data/card_table.h"
#include "data/error.h"
#include "paradox/paradox_conversion.h"
#include "data/progress.h"
#include "tools/catalogue_writer.h"
#include "tools/update_set_writer.h"

#include <QDir>

namespace {

const char Usage[] = "Usage : tabrix-makedb --demo DOSSIER_CATALOGUE DOSSIER_SORTIE\n"
                     "        tabrix-makedb --synthetic NOMBRE DOSSIER [GRAINE]\n"
                     "        tabrix-makedb --update-set DOSSIER NOM_DE_BASE [ENREGISTREMENTS]\n"
                     "        tabrix-makedb --from-paradox TABLE_PARADOX DOSSIER [NOM]\n"
                     "        tabrix-makedb --copy-paradox TABLE_PARADOX FICHIER_SQLITE\n"
                     "Écrit CARTES.DB (le catalogue de démonstration, ou NOMBRE cartes inventées)\n"
                     "et un ECHANGE.DB vide dans le dossier de sortie ; ou un lot de mise à jour\n"
                     "(.maj, .RNM, .ANG, .SUP, .DB) pour le CARTES.DB du DOSSIER ; ou le\n"
                     "CARTES.DB du DOSSIER (ou la table NOM, ECHANGE.DB par exemple) converti\n"
                     "d'une table Paradox de la forme de la table des cartes ; ou une table Paradox\n"
                     "quelconque copiée dans un fichier SQLite (c'est ainsi que Tabrix lit les\n"
                     "tables Paradox, à part).\n";

// The largest synthetic catalogue: far above any benchmark, well below what
// an int row count and the memory of the machine allow.
constexpr qint64 MaxSyntheticCount = 10'000'000;

// The progress of a long pass on one line of the terminal, in percent.
class LineProgress : public Progress
{
public:
    explicit LineProgress(QTextStream &out) : m_out(out) {}
    void setMaximum(int maximum) override { m_maximum = maximum; }
    void show() override { print(); }
    void advance() override
    {
        ++m_done;
        if (m_maximum > 0 && m_done * 100 / m_maximum != (m_done - 1) * 100 / m_maximum)
            print();
    }
    void hide() override
    {
        if (m_shown)
            m_out << '\n';
        m_out.flush();
        m_shown = false;
    }

private:
    void print()
    {
        const qint64 percent = m_maximum > 0 ? m_done * 100 / m_maximum : 100;
        m_out << "\rConversion : " << percent << " %";
        m_out.flush();
        m_shown = true;
    }
    QTextStream &m_out;
    qint64 m_maximum = 0;
    qint64 m_done = 0;
    bool m_shown = false;
};

int badArguments(QTextStream &err, const QString &why)
{
    if (!why.isEmpty())
        err << why << '\n';
    err << QString::fromUtf8(Usage);
    err.flush();
    return 2;
}

void writeTables(const QString &dirPath, const std::vector<CardRow> &rows)
{
    if (!QDir().mkpath(dirPath))
        throw AppError(QStringLiteral("Impossible de créer le dossier %1").arg(dirPath));
    const QDir dir(dirPath);
    writeCardTable(dir.filePath(card::TableFile), rows);
    writeCardTable(dir.filePath(card::ExchangeFile), {}, QStringLiteral("ECHANGE"));
}

} // namespace

int runMakedb(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.size() == 1
        && (arguments.first() == QLatin1String("--help") || arguments.first() == QLatin1String("-h"))) {
        out << QString::fromUtf8(Usage);
        out.flush();
        return 0;
    }
    if (arguments.isEmpty())
        return badArguments(err, {});

    const QString mode = arguments.first();
    try {
        if (mode == QLatin1String("--demo")) {
            if (arguments.size() != 3)
                return badArguments(err, QStringLiteral("--demo attend deux dossiers."));
            const std::vector<CardRow> rows = demoCatalogue(arguments.at(1));
            writeTables(arguments.at(2), rows);
            out << "Catalogue de démonstration : " << rows.size() << " cartes écrites dans "
                << QDir(arguments.at(2)).filePath(card::TableFile) << '\n';
        } else if (mode == QLatin1String("--synthetic")) {
            if (arguments.size() != 3 && arguments.size() != 4)
                return badArguments(err, QStringLiteral("--synthetic attend un nombre et un dossier."));
            bool ok = false;
            const qint64 count = arguments.at(1).toLongLong(&ok);
            if (!ok || count < 0 || count > MaxSyntheticCount)
                return badArguments(err, QStringLiteral("Nombre de cartes invalide : « %1 » (de 0 à %2).")
                                             .arg(arguments.at(1), QString::number(MaxSyntheticCount)));
            unsigned seed = 1;
            if (arguments.size() == 4) {
                seed = arguments.at(3).toUInt(&ok);
                if (!ok)
                    return badArguments(err,
                                        QStringLiteral("Graine invalide : « %1 ».").arg(arguments.at(3)));
            }
            const std::vector<CardRow> rows = syntheticCatalogue(int(count), seed);
            writeTables(arguments.at(2), rows);
            out << "Catalogue synthétique : " << rows.size() << " cartes écrites dans "
                << QDir(arguments.at(2)).filePath(card::TableFile) << '\n';
        } else if (mode == QLatin1String("--update-set")) {
            if (arguments.size() != 3 && arguments.size() != 4)
                return badArguments(err, QStringLiteral("--update-set attend un dossier et un nom de base."));
            bool ok = true;
            const int records = arguments.size() == 4 ? arguments.at(3).toInt(&ok) : 10000;
            if (!ok || records < 0 || records > MaxSyntheticCount)
                return badArguments(err, QStringLiteral("Nombre d'enregistrements invalide : « %1 ».")
                                             .arg(arguments.at(3)));
            writeUpdateSet(QDir(arguments.at(1)).filePath(card::TableFile), arguments.at(2), records);
            out << "Lot de mise à jour écrit : " << arguments.at(2) << ".maj\n";
        } else if (mode == QLatin1String("--from-paradox")) {
            if (arguments.size() != 3 && arguments.size() != 4)
                return badArguments(err, QStringLiteral("--from-paradox attend une table Paradox et un dossier."));
            // The card table by default; the exchange table has the same layout.
            const QString name = arguments.size() == 4 ? arguments.at(3) : card::TableFile;
            if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))
                || name == QLatin1String(".") || name == QLatin1String(".."))
                return badArguments(err, QStringLiteral("Nom de table invalide : « %1 ».").arg(name));
            if (!QDir().mkpath(arguments.at(2)))
                throw AppError(QStringLiteral("Impossible de créer le dossier %1").arg(arguments.at(2)));
            const QString target = QDir(arguments.at(2)).filePath(name);
            LineProgress progress(out);
            const int count = convertParadoxCardTable(arguments.at(1), target, progress);
            out << "Table Paradox convertie : " << count << " cartes écrites dans " << target << '\n';
        } else if (mode == QLatin1String("--copy-paradox")) {
            if (arguments.size() != 3)
                return badArguments(err, QStringLiteral("--copy-paradox attend une table Paradox et un fichier."));
            LineProgress progress(out);
            const int count = copyParadoxTable(arguments.at(1), arguments.at(2), progress);
            out << "Table Paradox copiée : " << count << " fiches écrites dans " << arguments.at(2) << '\n';
        } else {
            return badArguments(err, QStringLiteral("Option inconnue : %1").arg(mode));
        }
    } catch (const AppError &error) {
        err << error.message() << '\n';
        err.flush();
        return 1;
    }
    out.flush();
    return 0;
}
