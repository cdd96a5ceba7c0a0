#include "analysis/classification.h"

#include "data/card_table.h"
#include "data/dataset_guard.h"
#include "data/query.h"
#include "data/text_file.h"

#include <QHash>

#include <array>

namespace {

struct ColourSection {
    const char *banner; // 8 characters, blanks included
    const char *code;
};

constexpr std::array<ColourSection, 7> Sections = {{
    {" VERTES ", "Ver"},
    {" ROUGES ", "Rge"},
    {" NOIRS  ", "Noi"},
    {" BLEUS  ", "Ble"},
    {" BLANCS ", "Bla"},
    {" CHROME ", "Or"},
    {" ARTEF  ", "Inc"},
}};

struct TypeSection {
    const char *left;
    const char *right;
    const char *type;
    const char *artefactType; // the type listed in the artefact section
};

constexpr std::array<TypeSection, 6> SubSections = {{
    {"*-*-*-*-*-*-*-*-*-*-*-*-*-*-*  INVOCATION", " *-*-*-*-*-*-*-*-*-*-*-*-*-*-*", "Inv", "C. Art"},
    {"*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-* EPHEMERE", "*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*", "Eph", "Eph"},
    {"*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*  RITUEL", " *-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*", "Rit", "Rit"},
    {"*-*-*-*-*-*-*-*-*-*-*-*-*-*-* ENCHENTEMENT", "*-*-*-*-*-*-*-*-*-*-*-*-*-*-*", "Enc", "Art"},
    {"*-*-*-*-*-*-*-*-*-*-*-*-*-*-* INTERRUPTION", "*-*-*-*-*-*-*-*-*-*-*-*-*-*-*", "Int", "Int"},
    {"*-*-*-*-*-*-*-*-*-*-*-*-*-*-* SOURCES MANA", "*-*-*-*-*-*-*-*-*-*-*-*-*-*-*", "Mana sourc", "Ter"},
}};

constexpr const char *ArtefactCode = "Inc";

QString pairKey(const QString &couleur, const QString &type)
{
    return couleur + QChar(0) + type;
}

} // namespace

QStringList classificationLines(Query &query)
{
    // The card lines of every (colour, type) pair that a sub-section lists.
    QHash<QString, QStringList> cards;
    for (const ColourSection &section : Sections) {
        const bool artefact = qstrcmp(section.code, ArtefactCode) == 0;
        for (const TypeSection &sub : SubSections)
            cards.insert(pairKey(QLatin1String(section.code),
                                 QLatin1String(artefact ? sub.artefactType : sub.type)),
                         {});
    }

    // One query for the whole file rather than one per sub-section: read in
    // key order, each sub-section gets its cards in the order its own query
    // would have returned them.
    query.close();
    query.sql().clear();
    query.sql() << QStringLiteral("SELECT *") << QStringLiteral("FROM CARTES")
                << QStringLiteral("WHERE Dispo > 0");
    query.open();
    DatasetGuard guard(query);
    for (; !query.eof(); query.next()) {
        const auto found = cards.find(pairKey(query.field(card::Couleur).asString(),
                                              query.field(card::Type).asString()));
        if (found == cards.end())
            continue;
        found->append(query.field(card::NomFrancais).asString() + QStringLiteral(" (")
                      + query.field(card::Origine).asString() + QStringLiteral(") x ")
                      + query.field(card::Dispo).asString());
    }
    query.close();

    QStringList lines;
    const QString formFeed(QChar(12));
    for (const ColourSection &section : Sections) {
        const bool artefact = qstrcmp(section.code, ArtefactCode) == 0;
        for (const TypeSection &sub : SubSections) {
            lines << QLatin1String(sub.left) + QLatin1String(section.banner) + QLatin1String(sub.right);
            lines << QString();
            lines << cards.value(pairKey(QLatin1String(section.code),
                                         QLatin1String(artefact ? sub.artefactType : sub.type)));
            lines << formFeed;
        }
    }
    return lines;
}

void writeClassificationFile(Query &query, const QString &path)
{
    writeLinesFile(path, classificationLines(query));
}
