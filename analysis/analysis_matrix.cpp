#include "analysis/analysis_matrix.h"

#include "analysis/saturating.h"

#include "data/card_table.h"
#include "data/dataset.h"
#include "data/dataset_guard.h"
#include "data/progress.h"

using namespace analysis;

namespace {

constexpr int Unknown = -1;

int colourIndex(const QString &couleur)
{
    static const std::array<QStringList, Colours> codes = {{
        {QStringLiteral("Ver"), QStringLiteral("Vert")},
        {QStringLiteral("Rge"), QStringLiteral("Rouge")},
        {QStringLiteral("Noi"), QStringLiteral("Noir")},
        {QStringLiteral("Ble")},
        {QStringLiteral("Bla")},
        {QStringLiteral("Or")},
        {QStringLiteral("Inc"), QStringLiteral("Inc.")},
    }};
    for (int colour = 0; colour < Colours; ++colour) {
        if (codes[size_t(colour)].contains(couleur))
            return colour;
    }
    return Unknown;
}

struct TypePlace {
    int row = Unknown;
    bool artefact = false; // the type puts the card under the artefacts
};

TypePlace typePlace(const QString &type)
{
    static const std::array<QStringList, TotalRow> codes = {{
        {QStringLiteral("Inv"), QStringLiteral("Inc"), QStringLiteral("Token"), QStringLiteral("inv")},
        {QStringLiteral("Eph")},
        {QStringLiteral("Rit")},
        {QStringLiteral("Enc")},
        {QStringLiteral("Int"), QStringLiteral("int")},
        {QStringLiteral("Mana sourc")},
        {QStringLiteral("Ter")},
    }};
    if (type == QLatin1String("C. Art"))
        return {0, true};
    if (type == QLatin1String("Art"))
        return {3, true};
    for (int row = 0; row < TotalRow; ++row) {
        if (codes[size_t(row)].contains(type))
            return {row, false};
    }
    return {};
}

int rarityColumn(const QString &rarete)
{
    if (rarete == QLatin1String("C"))
        return 0;
    if (rarete == QLatin1String("U"))
        return 1;
    if (rarete == QLatin1String("R"))
        return 2;
    return Unknown;
}

void remember(QStringList &list, const QString &code)
{
    if (!list.contains(code))
        list.append(code);
}

// Adds one cell and its value to a running total.
void addCell(TCompteurCase &sum, double &value, const TCompteurCase &cell, double cellValue)
{
    sum.NbCartes = saturatingAdd(sum.NbCartes, cell.NbCartes);
    sum.NbPossedees = saturatingAdd(sum.NbPossedees, cell.NbPossedees);
    sum.NbExemplaires = saturatingAdd(sum.NbExemplaires, cell.NbExemplaires);
    value += cellValue;
}

void fillTotals(AnalysisMatrix &m)
{
    for (int colour = 0; colour < Colours; ++colour) {
        auto &cells = m.Compteurs[size_t(colour)];
        auto &values = m.Valeurs[size_t(colour)];
        // Each total is summed into locals and stored once.
        for (int row = 0; row < TotalRow; ++row) {
            TCompteurCase sum;
            double value = 0;
            for (int column = 0; column < TotalColumn; ++column)
                addCell(sum, value, cells[size_t(row)][size_t(column)], values[size_t(row)][size_t(column)]);
            cells[size_t(row)][TotalColumn] = sum;
            values[size_t(row)][TotalColumn] = value;
        }
        for (int column = 0; column < Columns; ++column) {
            TCompteurCase sum;
            double value = 0;
            for (int row = 0; row < TotalRow; ++row)
                addCell(sum, value, cells[size_t(row)][size_t(column)], values[size_t(row)][size_t(column)]);
            cells[TotalRow][size_t(column)] = sum;
            values[TotalRow][size_t(column)] = value;
        }
    }
}

} // namespace

AnalysisResult analyseCollection(Dataset &source, Progress &progress)
{
    AnalysisResult result;
    AnalysisMatrix &m = result.matrix;

    struct Shown {
        Progress &progress;
        ~Shown() { progress.hide(); }
    };
    progress.show();
    Shown shown{progress};
    source.close();
    source.openUnordered();
    DatasetGuard guard(source);
    progress.setMaximum(source.recordCount() / RecordsPerStep);
    int sinceStep = 0;
    for (; !source.eof(); source.next()) {
        const QString couleur = source.field(card::Couleur).asString();
        const QString type = source.field(card::Type).asString();
        const QString rarete = source.field(card::Rarete).asString();

        int colour = colourIndex(couleur);
        const TypePlace place = typePlace(type);
        const int column = rarityColumn(rarete);
        if (colour == Unknown)
            remember(result.unknown.couleurs, couleur);
        if (place.row == Unknown)
            remember(result.unknown.types, type);
        if (column == Unknown)
            remember(result.unknown.raretes, rarete);
        if (place.artefact)
            colour = ArtefactColour;

        // A record that cannot be placed is left out rather than added to the
        // cell of the record before it.
        if (colour != Unknown && place.row != Unknown && column != Unknown) {
            const qint64 copies = card::ownedCopies(source);
            TCompteurCase &cell = m.Compteurs[size_t(colour)][size_t(place.row)][size_t(column)];
            ++cell.NbCartes;
            cell.NbExemplaires = saturatingAdd(cell.NbExemplaires, copies);
            if (source.field(card::Dispo).asInteger() >= 1 || source.field(card::Utilise).asInteger() >= 1)
                ++cell.NbPossedees;
            m.Valeurs[size_t(colour)][size_t(place.row)][size_t(column)] +=
                source.field(card::Cote).asFloat() * double(copies);
        }

        if (++sinceStep == RecordsPerStep) {
            sinceStep = 0;
            progress.advance();
        }
    }
    source.close();

    fillTotals(m);
    return result;
}

QString CodeCouleur(int colour)
{
    return card::colourCode(colour);
}

QString FormateCase(const TCompteurCase &cell, double value, bool quantities)
{
    const QChar blank = QLatin1Char(' ');
    if (quantities) {
        return QString::number(cell.NbExemplaires).rightJustified(3, blank) + QStringLiteral(" / ")
            + QString::number(value, 'f', 1).rightJustified(5, blank) + QStringLiteral(" Fr");
    }
    const QString counts =
        (QString::number(cell.NbPossedees).rightJustified(3, blank) + QLatin1Char('/')
         + QString::number(cell.NbCartes))
            .leftJustified(7, blank);
    QString percentage;
    if (cell.NbCartes == 0)
        percentage = QStringLiteral("  NC");
    else if (cell.NbPossedees == cell.NbCartes)
        percentage = QStringLiteral("100");
    else
        percentage = QString::number(double(cell.NbPossedees) / double(cell.NbCartes) * 100.0, 'f', 1)
                         .rightJustified(4, blank);
    return counts + blank + percentage + QStringLiteral(" %");
}

QStringList unknownCodeMessages(const UnknownCodes &unknown)
{
    QStringList messages;
    for (const QString &code : unknown.couleurs)
        messages << QStringLiteral("Couleur de carte inconnue : ") + code;
    for (const QString &code : unknown.types)
        messages << QStringLiteral("Type de carte inconnue : ") + code;
    for (const QString &code : unknown.raretes)
        messages << QStringLiteral("Raretée de carte inconnue : ") + code;
    return messages;
}

DrillDown drillDownOf(int tab, int row, int column)
{
    static const std::array<const char *, Rows> rowTypes = {
        "Inv", "Eph", "Rit", "Enc", "Int", "Mana sourc", "Ter", ""};
    static const std::array<const char *, Columns> columnRarities = {"C", "U", "R", ""};

    DrillDown drill;
    drill.couleur = quint8(tab);
    if (row >= 0 && row < Rows)
        drill.type = QLatin1String(rowTypes[size_t(row)]);
    if (tab == ArtefactColour && row == 0)
        drill.type = QStringLiteral("C. Art");
    if (tab == ArtefactColour && row == 3)
        drill.type = QStringLiteral("Art");
    if (column >= 0 && column < Columns)
        drill.rarete = QLatin1String(columnRarities[size_t(column)]);
    return drill;
}
