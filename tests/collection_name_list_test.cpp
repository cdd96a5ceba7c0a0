#include "collection/name_list.h"
#include "tests/support/printing.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>

#include <gtest/gtest.h>

namespace {

const QStringList names = {
    "Éclair", "eclair", "ECLAIR", "Ecluse", "Éclat", "Éclair noir", "Eclair-noir", "Œil du cyclone", "Oeil",
    "Oeuf", "Ours", "Ange", "ange", "Ange de Sérénité", "Ange-gardien", "Ange, le", "Ange (ancien)", "Zèbre",
    "zebre", "Zébré", "Zébrè", "10 Lames", "2 Lames", "Çà et là", "Ca va", "Ça", "Forêt", "Foret", "Forêts",
    "Straße", "Strasse", "Nœud", "L'Ange", "L’Ange", "Lange", "Ægis", "Aegis", "Île", "Ile", "île", "Øre",
    "Ore", "Ôre", "« Ange »", "Ange 2", "Ange²", "Ange $", "Ange ~", "Ange_", "Ἄγγελος", "Ангел", "zz"};
const QStringList editions = {"Alpha", "Bêta", "Révisée"};

NameList listOf(const QStringList &lines)
{
    NameList list;
    for (const QString &line : lines)
        list.append(line.left(line.lastIndexOf(" (")), line.mid(line.lastIndexOf(" (") + 2).chopped(1));
    return list;
}

QStringList everyLine()
{
    QStringList lines;
    for (const QString &edition : editions) {
        for (const QString &name : names)
            lines << name + " (" + edition + ")";
    }
    return lines;
}

} // namespace

// The lines come in the order of the system's French collation without
// letter case, lines equal for it by their exact text, whatever the order
// they were read in.
TEST(NameListTest, SortsLikeTheFrenchCollationWithoutCase)
{
    QStringList expected = everyLine();
    QCollator collator(QLocale(QLocale::French, QLocale::France));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(expected.begin(), expected.end(), [&](const QString &a, const QString &b) {
        const int c = collator.compare(a, b);
        return c != 0 ? c < 0 : a < b;
    });
    QStringList read = everyLine();
    std::reverse(read.begin(), read.end());
    NameList list = listOf(read);
    list.sort();
    EXPECT_EQ(list.lines(), expected);
}

TEST(NameListTest, FindsLinesStartingWithTheTextTypedAndExactLines)
{
    NameList list = listOf(everyLine());
    list.sort();
    const auto found = [&](const QString &prefix) {
        QStringList lines;
        for (const quint32 row : list.rowsStartingWith(prefix))
            lines << list.line(row);
        return lines;
    };
    const struct {
        QString typed;
        QStringList lines;
    } cases[] = {
        {"ecl", {"ECLAIR (Alpha)", "eclair (Alpha)", "ECLAIR (Bêta)", "eclair (Bêta)", "ECLAIR (Révisée)",
                 "eclair (Révisée)", "Eclair-noir (Alpha)", "Eclair-noir (Bêta)", "Eclair-noir (Révisée)",
                 "Ecluse (Alpha)", "Ecluse (Bêta)", "Ecluse (Révisée)"}},
        {"éCLAT (b", {"Éclat (Bêta)"}},
        {"œ", {"Œil du cyclone (Alpha)", "Œil du cyclone (Bêta)", "Œil du cyclone (Révisée)"}},
        {"ile (r", {"Ile (Révisée)"}},
        {"ÎLE (R", {"Île (Révisée)", "île (Révisée)"}},
        {"Ангел (a", {"Ангел (Alpha)"}},
        {"zz (révisée)", {"zz (Révisée)"}},
        {"zz (révisée) ", {}},
        {"", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(found(c.typed), c.lines) << c.typed.toStdString();

    for (const QString line : {"Ange (ancien) (Bêta)", "Œil du cyclone (Alpha)", "10 Lames (Révisée)"})
        EXPECT_EQ(list.line(list.rowOf(line)), line);
    EXPECT_EQ(list.rowOf(u"ange (ancien) (Bêta)"), -1);
    EXPECT_EQ(list.rowOf(u"Ange (ancien)"), -1);
}
