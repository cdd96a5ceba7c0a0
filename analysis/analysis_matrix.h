#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <array>
class Dataset;
class Progress;

// The completeness analysis: for each of the seven colours, a grid of card
// types (rows 0..6, row 7 their total) against rarities (columns 0..2,
// column 3 their total).
namespace analysis {

inline constexpr int Colours = 7;
inline constexpr int Rows = 8;     // 7 types and the total
inline constexpr int Columns = 4;  // 3 rarities and the total
inline constexpr int TotalRow = 7;
inline constexpr int TotalColumn = 3;
inline constexpr int ArtefactColour = 6;
// The gauge of the analysis moves once every this many records.
inline constexpr int RecordsPerStep = 40;

} // namespace analysis

// One cell of the grid. 64-bit, and every sum held at the largest count
// (saturatingAdd), so that no catalogue can make a count wrap.
struct TCompteurCase {
    qint64 NbCartes = 0;      // printings of the cell
    qint64 NbPossedees = 0;   // of which the user has at least one copy
    qint64 NbExemplaires = 0; // copies owned (Dispo + Utilise)
};

struct AnalysisMatrix {
    template <typename T>
    using Grid = std::array<std::array<std::array<T, analysis::Columns>, analysis::Rows>, analysis::Colours>;
    Grid<TCompteurCase> Compteurs{};
    Grid<double> Valeurs{}; // francs: Cote x owned copies, summed
};

// Codes met during a pass that no axis knows, each once, in the order met.
// Such a record is left out of the matrix, unless its type alone places it
// ("Art", "C. Art" go to the artefacts whatever their colour).
struct UnknownCodes {
    QStringList couleurs;
    QStringList types;
    QStringList raretes;
    bool isEmpty() const { return couleurs.isEmpty() && types.isEmpty() && raretes.isEmpty(); }
};

struct AnalysisResult {
    AnalysisMatrix matrix;
    UnknownCodes unknown;
};

// Counts every record of `source` (opened in stored order, since the sums do
// not depend on the order) and fills the total row and column. The progress
// gets the record count / RecordsPerStep as maximum and one advance every
// RecordsPerStep records; it is hidden again also when the pass fails. Opens
// and closes the source.
AnalysisResult analyseCollection(Dataset &source, Progress &progress);

// "Ver", "Rge", "Noi", "Ble", "Bla", "Or", "Inc"; empty outside 0..6.
QString CodeCouleur(int colour);

// The text of one cell: "owned/existing percentage %" in the completeness
// view, "copies / value Fr" in the quantity view.
QString FormateCase(const TCompteurCase &cell, double value, bool quantities);

// The messages that tell the user about unknown codes, one per code.
QStringList unknownCodeMessages(const UnknownCodes &unknown);

// What a click on a cell asks of the inventory window: the colour of the tab,
// the type of the row and the rarity of the column (empty on a total).
struct DrillDown {
    quint8 couleur = 0;
    QString type;
    QString rarete;
};
DrillDown drillDownOf(int tab, int row, int column);
