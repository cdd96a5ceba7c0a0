#include "tools/catalogue_writer.h"

#include <array>
#include <cstdint>

// Synthetic catalogues: invented card names built from three word lists
// (noun, complement, epithet) so that every name is distinct, each name in
// one to three editions. Our own generator keeps the output the same for a
// seed on every platform (the standard distributions do not promise that).

namespace {

class Generator
{
public:
    explicit Generator(std::uint64_t seed)
        : m_state(seed * 0x9E3779B97F4A7C15ULL + 0x2545F4914F6CDD1DULL)
    {}

    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // 0 .. bound-1
    int below(int bound) { return int(next() % std::uint64_t(bound)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool percent(int chance) { return below(100) < chance; }

    // Index into `weights`, drawn in proportion to them.
    template <std::size_t N>
    int weighted(const std::array<int, N> &weights)
    {
        int total = 0;
        for (int w : weights)
            total += w;
        int pick = below(total);
        for (std::size_t i = 0; i < N; ++i) {
            if (pick < weights[i])
                return int(i);
            pick -= weights[i];
        }
        return int(N - 1);
    }

private:
    std::uint64_t m_state;
};

struct Words {
    const char *french;
    const char *english;
};

const std::array<Words, 40> nouns = {{
    {"Gardien", "Keeper"},       {"Loup", "Wolf"},
    {"Spectre", "Wraith"},       {"Mage", "Mage"},
    {"Dragon", "Dragon"},        {"Golem", "Golem"},
    {"Sirène", "Siren"},         {"Chevalier", "Knight"},
    {"Druide", "Druid"},         {"Oracle", "Oracle"},
    {"Serpent", "Serpent"},      {"Griffon", "Griffin"},
    {"Goule", "Ghoul"},          {"Sentinelle", "Sentinel"},
    {"Héraut", "Herald"},        {"Rôdeur", "Stalker"},
    {"Faucon", "Falcon"},        {"Ours", "Bear"},
    {"Sorcière", "Witch"},       {"Moine", "Monk"},
    {"Titan", "Titan"},          {"Élémentaire", "Elemental"},
    {"Chimère", "Chimera"},      {"Hydre", "Hydra"},
    {"Lame", "Blade"},           {"Bouclier", "Shield"},
    {"Couronne", "Crown"},       {"Marteau", "Hammer"},
    {"Prière", "Prayer"},        {"Malédiction", "Curse"},
    {"Éclair", "Bolt"},          {"Tempête", "Storm"},
    {"Rituel", "Rite"},          {"Pacte", "Pact"},
    {"Sanctuaire", "Sanctuary"}, {"Forteresse", "Fortress"},
    {"Fontaine", "Fountain"},    {"Lanterne", "Lantern"},
    {"Miroir", "Mirror"},        {"Écho", "Echo"},
}};

const std::array<Words, 40> complements = {{
    {"des Brumes", "Mist"},     {"de Cendre", "Ash"},      {"du Marais", "Marsh"},
    {"de l'Aube", "Dawn"},      {"des Récifs", "Reef"},    {"de Braise", "Ember"},
    {"d'Ombre", "Shadow"},      {"de Givre", "Frost"},     {"des Cimes", "Summit"},
    {"du Crépuscule", "Dusk"},  {"d'Émeraude", "Emerald"}, {"de Lumière", "Light"},
    {"des Abysses", "Abyss"},   {"de Fer", "Iron"},        {"d'Ivoire", "Ivory"},
    {"du Désert", "Desert"},    {"des Marées", "Tide"},    {"de Jade", "Jade"},
    {"du Tonnerre", "Thunder"}, {"des Étoiles", "Star"},   {"de Corail", "Coral"},
    {"du Néant", "Void"},       {"des Ruines", "Ruin"},    {"de Sève", "Sap"},
    {"de Cristal", "Crystal"},  {"du Volcan", "Volcano"},  {"des Épines", "Thorn"},
    {"de Lune", "Moon"},        {"du Soleil", "Sun"},      {"des Âmes", "Soul"},
    {"de Plomb", "Lead"},       {"d'Argent", "Silver"},    {"de Pierre", "Stone"},
    {"des Sables", "Sand"},     {"du Vent", "Wind"},       {"des Forges", "Forge"},
    {"de Rouille", "Rust"},     {"des Songes", "Dream"},   {"du Gouffre", "Chasm"},
    {"de l'Hiver", "Winter"},
}};

// French: appended to the name; English: "%1" stands for the rest of the name.
// Some hold a double quote, an apostrophe or "(" so that every statement
// built from a name has to quote it.
const std::array<Words, 20> epithets = {{
    {"", "%1"},
    {"d'Antan", "Bygone %1"},
    {"de Légende", "Legendary %1"},
    {"du Nord", "Northern %1"},
    {"du Sud", "Southern %1"},
    {"sans Nom", "Nameless %1"},
    {"à Deux Têtes", "Two-Headed %1"},
    {"aux Mille Yeux", "Thousand-Eyed %1"},
    {"de Guerre", "War %1"},
    {"dit \"le Rouge\"", "\"Red\" %1"},
    {"(Alpha)", "%1 (Alpha)"},
    {"de l'Ouest", "Western %1"},
    {"Déchu", "Fallen %1"},
    {"Éternel", "Eternal %1"},
    {"Errant", "Wandering %1"},
    {"des Hauts-Fonds", "%1 of the Shoals"},
    {"Oublié", "Forgotten %1"},
    {"Premier-Né", "Firstborn %1"},
    {"de Minuit", "Midnight %1"},
    {"d'Acier Trempé", "Tempered %1"},
}};

const std::array<const char *, 12> editions = {
    "Aube",
    "Marées Noires",
    "Crépuscule",
    "Forêt d'Émeraude",
    "Citadelle de Verre",
    "Éveil des Titans",
    "Ère Glaciaire",
    "Îles Perdues",
    "Cendres & Braises",
    "L'Exode",
    "Chroniques d'Outre-Mer",
    "Sables Écarlates",
};

// Every type spelling the analysis knows, with rough frequencies.
const std::array<const char *, 13> types
    = {"Inv", "Eph", "Rit", "Enc", "Int", "Mana sourc", "Ter", "Art", "C. Art", "inv", "Inc", "Token", "int"};
const std::array<int, 13> typeWeights = {30, 9, 8, 9, 8, 4, 7, 7, 5, 2, 1, 1, 1};

const std::array<const char *, 11> colours
    = {"Ver", "Rge", "Noi", "Ble", "Bla", "Or", "Inc", "Vert", "Rouge", "Noir", "Inc."};
const std::array<int, 11> colourWeights = {15, 15, 15, 15, 15, 8, 3, 2, 2, 2, 1};
const std::array<const char *, 7> manaSymbols = {"G", "R", "B", "U", "W", "GW", ""};

bool isCreature(const QString &type)
{
    return type == QLatin1String("Inv") || type == QLatin1String("inv") || type == QLatin1String("Inc")
           || type == QLatin1String("Token") || type == QLatin1String("C. Art");
}

bool isColourless(const QString &type)
{
    return type == QLatin1String("Ter") || type == QLatin1String("Art") || type == QLatin1String("C. Art")
           || type == QLatin1String("Mana sourc");
}

// Colour index of a spelling, for the mana symbol of its cost.
int colourIndex(int spelling)
{
    return spelling < 7 ? spelling : (spelling < 10 ? spelling - 7 : 6);
}

template <typename T, std::size_t N>
void shuffle(std::array<T, N> &items, Generator &random)
{
    for (std::size_t i = N - 1; i > 0; --i)
        std::swap(items[i], items[random.below(int(i) + 1)]);
}

QString costFor(const QString &type, int colour, Generator &random)
{
    if (type == QLatin1String("Ter"))
        return {};
    if (type == QLatin1String("Token"))
        return QStringLiteral("0");
    const QString symbol = QString::fromLatin1(manaSymbols[colourIndex(colour)]);
    if (symbol.isEmpty())
        return QString::number(random.between(0, 6));
    const int generic = random.between(0, 4);
    QString cost = generic ? QString::number(generic) : QString();
    if (symbol.size() > 1)
        return cost + symbol;
    const int coloured = random.between(1, 2);
    for (int i = 0; i < coloured; ++i)
        cost += symbol;
    if (random.percent(4))
        cost.prepend(QLatin1Char('X'));
    return cost;
}

void setCounts(CardRow &row, Generator &random)
{
    if (random.percent(33)) {
        static const std::array<int, 10> ownedWeights = {35, 25, 15, 10, 5, 3, 3, 2, 1, 1};
        const int owned = random.weighted(ownedWeights) + 1;
        const int split = random.below(100);
        if (split < 15) {
            row.utilise = owned;
        } else if (split < 40) {
            row.utilise = random.between(1, owned);
            row.dispo = owned - row.utilise;
        } else {
            row.dispo = owned;
        }
        if (row.dispo >= 2 && random.percent(40))
            row.echangeable = row.dispo - 1;
    } else if (random.percent(8)) {
        row.cherche = random.between(1, 4);
    }
}

QVariant priceFor(const QString &rarity, Generator &random)
{
    if (random.percent(3))
        return {};
    // Quarters of a franc: exact in binary, so a price reads back unchanged.
    int quarters;
    if (rarity == QLatin1String("C"))
        quarters = random.between(1, 10);
    else if (rarity == QLatin1String("U"))
        quarters = random.between(4, 60);
    else
        quarters = random.between(20, 1200);
    return quarters / 4.0;
}

} // namespace

std::vector<CardRow> syntheticCatalogue(int count, unsigned seed)
{
    std::vector<CardRow> rows;
    if (count <= 0)
        return rows;
    rows.reserve(std::size_t(count));

    Generator random(seed);
    auto nounList = nouns;
    auto complementList = complements;
    auto epithetList = epithets;
    shuffle(nounList, random);
    shuffle(complementList, random);
    shuffle(epithetList, random);

    // Name number i picks its three words through a bijection of 0..M-1, so
    // that neighbouring names differ in every word; past M a number is added.
    constexpr int A = int(std::tuple_size_v<decltype(nouns)>);
    constexpr int B = int(std::tuple_size_v<decltype(complements)>);
    constexpr int C = int(std::tuple_size_v<decltype(epithets)>);
    constexpr std::int64_t M = std::int64_t(A) * B * C;
    constexpr std::int64_t Stride = 7919; // prime, shares no factor with M

    for (int nameIndex = 0; int(rows.size()) < count; ++nameIndex) {
        const std::int64_t j = (std::int64_t(nameIndex % M) * Stride + 12345) % M;
        const Words &noun = nounList[std::size_t(j % A)];
        const Words &complement = complementList[std::size_t((j / A) % B)];
        const Words &epithet = epithetList[std::size_t(j / (std::int64_t(A) * B))];

        QString french
            = QString::fromUtf8(noun.french) + QLatin1Char(' ') + QString::fromUtf8(complement.french);
        if (*epithet.french)
            french += QLatin1Char(' ') + QString::fromUtf8(epithet.french);
        QString english = QString::fromUtf8(epithet.english)
                              .arg(QString::fromUtf8(complement.english) + QLatin1Char(' ')
                                   + QString::fromUtf8(noun.english));
        if (nameIndex >= M) {
            const QString number = QLatin1Char(' ') + QString::number(nameIndex / M + 1);
            french += number;
            english += number;
        }

        // The first names take each type and colour spelling in turn, so
        // even a small catalogue holds every one of them.
        const int typeIndex = nameIndex < int(types.size()) ? nameIndex : random.weighted(typeWeights);
        const QString type = QString::fromLatin1(types[std::size_t(typeIndex)]);
        int colour;
        if (nameIndex < int(colours.size()))
            colour = nameIndex;
        else if (isColourless(type) && random.percent(80))
            colour = random.percent(6) ? 10 : 6;
        else
            colour = random.weighted(colourWeights);
        const QString cost = costFor(type, colour, random);
        QVariant force;
        QVariant endurance;
        if (type == QLatin1String("Token")) {
            force = 1;
            endurance = 1;
        } else if (isCreature(type)) {
            force = random.between(0, 8);
            endurance = random.between(1, 9);
        }

        static const std::array<int, 3> editionCountWeights = {35, 35, 30};
        const int editionCount = random.weighted(editionCountWeights) + 1;
        std::array<int, 3> chosen = {-1, -1, -1};
        for (int e = 0; e < editionCount && int(rows.size()) < count; ++e) {
            int edition;
            do
                edition = random.below(int(editions.size()));
            while (edition == chosen[0] || edition == chosen[1]);
            chosen[std::size_t(e)] = edition;

            static const std::array<int, 3> rarityWeights = {55, 30, 15};
            static const std::array<const char *, 3> rarities = {"C", "U", "R"};

            CardRow row;
            row.nomFrancais = french;
            row.nomAnglais = english;
            row.origine = QString::fromUtf8(editions[std::size_t(edition)]);
            row.rarete = QString::fromLatin1(rarities[std::size_t(random.weighted(rarityWeights))]);
            row.cote = priceFor(row.rarete, random);
            row.couleur = QString::fromLatin1(colours[std::size_t(colour)]);
            row.cout = cost;
            row.force = force;
            row.endurance = endurance;
            row.type = type;
            setCounts(row, random);
            rows.push_back(std::move(row));
        }
    }
    return rows;
}
