#include "search/search_criteria.h"

#include "data/error.h"
#include "data/sql_quote.h"
#include "data/value_conversion.h"

#include <initializer_list>
#include <utility>

namespace {

constexpr int CriterionLength = 255;

QString namePattern(const QString &field, const QString &text)
{
    return QStringLiteral("(UPPER (%1) LIKE %2)")
        .arg(field, sql::quoteSingle(QLatin1Char('%') + upperAscii(text) + QLatin1Char('%')));
}

// Each checked box appends its piece; the group then loses its trailing "OR"
// (with the blank that follows it in the colour pieces) and is enclosed in
// parentheses. The type and rarity pieces have no blank after OR, so their
// group reads "((Type = 'Art') OR(Type = 'Enc'))".
QString group(std::initializer_list<std::pair<bool, const char *>> pieces, int trailing)
{
    QString text;
    for (const auto &[checked, piece] : pieces) {
        if (checked)
            text += QString::fromUtf8(piece);
    }
    if (text.isEmpty())
        return text;
    text.chop(trailing);
    return QLatin1Char('(') + text + QLatin1Char(')');
}

// A bound reaches the statement only as the number it reads as.
QString bound(const QString &text, const QString &fieldCaption)
{
    const std::optional<double> number = values::parseNumber(text);
    if (!number)
        throw AppError(QStringLiteral("Le champ « %1 » doit contenir un nombre : « %2 » n'en est pas un.")
                           .arg(fieldCaption, text));
    return values::floatText(*number);
}

} // namespace

QString upperAscii(const QString &text)
{
    QString upper = text;
    for (QChar &c : upper) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    }
    return upper;
}

QStringList searchCriteria(const SearchCriteria &c)
{
    // The bounds are checked before anything is built, so a bad one is
    // reported whatever else is asked for.
    const QString forceMin = c.forceMin.isEmpty() ? QString() : bound(c.forceMin, QStringLiteral("Force min"));
    const QString forceMax = c.forceMax.isEmpty() ? QString() : bound(c.forceMax, QStringLiteral("Force max"));
    const QString enduranceMin =
        c.enduranceMin.isEmpty() ? QString() : bound(c.enduranceMin, QStringLiteral("Endurance min"));
    const QString enduranceMax =
        c.enduranceMax.isEmpty() ? QString() : bound(c.enduranceMax, QStringLiteral("Endurance max"));

    QStringList criteria;
    if (!c.francais.isEmpty())
        criteria << namePattern(QStringLiteral("nom_français"), c.francais);
    if (!c.anglais.isEmpty())
        criteria << namePattern(QStringLiteral("nom_anglais"), c.anglais);
    criteria << group({{c.rouge, "(Couleur = 'Rge') OR "},
                       {c.vert, "(Couleur = 'Ver') OR "},
                       {c.bleu, "(Couleur = 'Ble') OR "},
                       {c.noir, "(Couleur = 'Noi') OR "},
                       {c.blanc, "(Couleur = 'Bla') OR "},
                       {c.incolor, "(Couleur = 'Or') OR "}},
                      4);
    if (!c.cout.isEmpty())
        criteria << QStringLiteral("(Coût = ") + sql::quoteSingle(c.cout) + QLatin1Char(')');
    // The card table spells the artefact creatures "C. Art"; the box tests
    // that spelling as well as "C.Art".
    criteria << group({{c.artefact, "(Type = 'Art') OR"},
                       {c.cArtefact, "(Type = 'C.Art') OR(Type = 'C. Art') OR"},
                       {c.enchantement, "(Type = 'Enc') OR"},
                       {c.ephemere, "(Type = 'Eph') OR"},
                       {c.invocation, "(Type = 'Inv') OR"},
                       {c.rituel, "(Type = 'Rit') OR"},
                       {c.interruption, "(Type = 'Int') OR"}},
                      3);
    if (!forceMin.isEmpty())
        criteria << QStringLiteral("(Force >= %1)").arg(forceMin);
    if (!forceMax.isEmpty())
        criteria << QStringLiteral("(Force <= %1)").arg(forceMax);
    if (!enduranceMin.isEmpty())
        criteria << QStringLiteral("(Endurance >= %1)").arg(enduranceMin);
    if (!enduranceMax.isEmpty())
        criteria << QStringLiteral("(Endurance <= %1)").arg(enduranceMax);
    criteria << group({{c.commune, "(Rarete = 'C') OR"}, {c.noncommune, "(Rarete = 'U') OR"}, {c.rare, "(Rarete = 'R') OR"}},
                      3);
    if (c.possede)
        criteria << QStringLiteral("(Dispo > 0)");

    criteria.removeAll(QString());
    for (QString &criterion : criteria)
        criterion.truncate(CriterionLength);
    return criteria;
}

QStringList searchStatement(const SearchCriteria &criteria)
{
    QStringList lines{QStringLiteral("SELECT * FROM CARTES WHERE")};
    const QStringList built = searchCriteria(criteria);
    for (int i = 0; i < built.size(); ++i) {
        if (i > 0)
            lines << QStringLiteral("AND");
        lines << built[i];
    }
    return lines;
}
