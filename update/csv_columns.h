#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// Which field of the card table each column of a CSV file goes to.
namespace csvimport {

// A column left out of the import.
inline constexpr int Ignored = -1;

// The choices offered for a column: "Ignorer", then the card table's fields
// 0 to 13 by their names.
QStringList targetTitles();
// The field of a choice index of targetTitles() (Ignored for the first) and
// back.
int targetField(int choice);
int targetChoice(int field);

// A title with letter case, accents and everything but letters and digits
// taken out: "Nom Français" and "nom_francais" both give "nomfrancais".
QString normalizedTitle(const QString &title);

// The field a column title names, in French or English: the card table's
// own field names, the titles of our export and the words other collection
// programs use ("set", "qty", "tradelist"...). Ignored when none.
int guessField(const QString &title);

// The field of each column of a header. A field goes to the first column
// that names it; the later ones are ignored.
std::vector<int> guessColumns(const QStringList &header);

} // namespace csvimport
