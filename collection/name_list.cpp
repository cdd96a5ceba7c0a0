#include "collection/name_list.h"

#include "data/error.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <string_view>

namespace {

// Sort keys compare as byte strings. A key is the primary weights of the
// line (letters without case or accent, one byte each), 0x01, the accents as
// (place, accent) pairs, 0x01, the places of the capitals and 0xFF. Weights
// are at least 2, so a shorter line sorts first. Comparing keys built once
// per line is many times faster than asking a collator at each comparison.
constexpr char Separator = 0x01;
constexpr quint8 Escape = 0xFD; // a character outside the table, by its code

struct Weight {
    quint8 primary[2] = {0, 0}; // a second weight for "œ", "æ", "ß"
    quint8 accent = 0;          // 0: none; the lower, the earlier in the order
    bool known = false;
    bool capital = false;
};

// Order of the accents, as the French collation of the system puts them.
quint8 accentRank(char32_t mark)
{
    switch (mark) {
    case 0x301: return 1; // acute
    case 0x300: return 2; // grave
    case 0x306: return 3; // breve
    case 0x302: return 4; // circumflex
    case 0x30C: return 5; // caron
    case 0x30A: return 6; // ring
    case 0x308: return 7; // diaeresis
    case 0x30B: return 8; // double acute
    case 0x303: return 9; // tilde
    case 0x307: return 10; // dot
    case 0x327: return 12; // cedilla
    case 0x328: return 13; // ogonek
    case 0x304: return 14; // macron
    default: return 11;
    }
}

constexpr quint8 LigatureRank = 15; // "œ" after "oe", "ø" after "ô"

class WeightTable
{
public:
    static constexpr char32_t Size = 0x2100; // Latin letters, signs and quotes

    WeightTable()
    {
        quint8 next = 2;
        // Blanks, signs, then digits and letters: the order of the system's
        // French collation for these characters.
        for (const char16_t c : std::u16string_view(u"\t\n\r _-\u2013\u2014,;:!?.'\u2019\"\u00ab\u00bb()[]{}@*/\\&#%`^\u00b0+<=>|~"))
            setSign(c, next++);
        m_otherSign = next++;
        setSign(u'$', next++);
        for (char16_t c = u'0'; c <= u'9'; ++c)
            setSign(c, next++);
        for (char16_t c = u'a'; c <= u'z'; ++c)
            setSign(c, next++);
        setSign(0xA0, weight(u' ').primary[0]);

        const std::pair<char32_t, const char *> ligatures[] = {
            {0xE6, "ae"}, {0x153, "oe"}, {0xDF, "ss"}, {0xF8, "o"}, {0x111, "d"}, {0xF0, "d"},
            {0x142, "l"}, {0x127, "h"}, {0x131, "i"}, {0x167, "t"}, {0x180, "b"}, {0x133, "ij"}};
        for (const auto &[c, letters] : ligatures)
            setLetters(c, letters, LigatureRank);

        for (char32_t c = 0x80; c < Size; ++c) {
            if (m_weights[c].known || !QChar::isPrint(c))
                continue;
            const char32_t folded = QChar::toCaseFolded(c);
            if (folded != c && folded < Size && m_weights[folded].known) {
                m_weights[c] = m_weights[folded];
                continue;
            }
            const QString parts = QChar::decomposition(folded);
            if (!parts.isEmpty() && parts.front().unicode() < 0x80 && parts.front().isLetterOrNumber()) {
                if (QChar::decompositionTag(folded) == QChar::Canonical) {
                    // A letter with an accent: its letter, then the accent.
                    const char ascii[2] = {char(parts.front().toLower().unicode()), 0};
                    setLetters(c, ascii, parts.size() > 1 ? accentRank(parts.at(1).unicode()) : 0);
                    continue;
                }
                if (parts.size() == 1) { // "²" is a "2"
                    m_weights[c] = m_weights[parts.front().toLower().unicode()];
                    continue;
                }
            }
            if (!QChar::isLetter(c))
                setSign(c, m_otherSign);
        }
        for (char32_t c = u'A'; c <= u'Z'; ++c)
            m_weights[c] = m_weights[c - u'A' + u'a'];
        for (char32_t c = 0; c < Size; ++c)
            m_weights[c].capital = QChar::toCaseFolded(c) != c;
    }

    const Weight &weight(char32_t c) const { return m_weights[c]; }

private:
    void setSign(char32_t c, quint8 primary)
    {
        m_weights[c].primary[0] = primary;
        m_weights[c].known = true;
    }
    void setLetters(char32_t c, const char *letters, quint8 accent)
    {
        Weight w;
        w.primary[0] = m_weights[uchar(letters[0])].primary[0];
        if (letters[1])
            w.primary[1] = m_weights[uchar(letters[1])].primary[0];
        w.accent = accent;
        w.known = true;
        m_weights[c] = w;
        const char32_t upper = QChar::toUpper(c);
        if (upper != c && upper < Size)
            m_weights[upper] = w;
    }

    std::array<Weight, Size> m_weights{};
    quint8 m_otherSign = 0;
};

const WeightTable &weights()
{
    static const WeightTable table;
    return table;
}

// Reads the code points of UTF-8 text written by NameList::append.
class Utf8Reader
{
public:
    explicit Utf8Reader(QByteArrayView text) : m_p(text.data()), m_end(text.data() + text.size()) {}
    bool atEnd() const { return m_p >= m_end; }
    char32_t next()
    {
        const uchar b = uchar(*m_p++);
        if (b < 0x80)
            return b;
        int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : 1;
        char32_t c = b & (0x3F >> extra);
        while (extra-- > 0 && m_p < m_end)
            c = (c << 6) | (uchar(*m_p++) & 0x3F);
        return c;
    }

private:
    const char *m_p;
    const char *m_end;
};

void appendUtf8(QByteArray &out, QStringView text)
{
    // Written in place: appending byte by byte costs more than the encoding.
    const qsizetype from = out.size();
    out.resize(from + 3 * text.size());
    char *p = out.data() + from;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (c < 0x80) {
            *p++ = char(c);
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(char16_t(c), text[++i].unicode());
        if (c < 0x800) {
            *p++ = char(0xC0 | (c >> 6));
        } else if (c < 0x10000) {
            *p++ = char(0xE0 | (c >> 12));
            *p++ = char(0x80 | ((c >> 6) & 0x3F));
        } else {
            *p++ = char(0xF0 | (c >> 18));
            *p++ = char(0x80 | ((c >> 12) & 0x3F));
            *p++ = char(0x80 | ((c >> 6) & 0x3F));
        }
        *p++ = char(0x80 | (c & 0x3F));
    }
    out.resize(p - out.constData());
}

// The primary weights of one character (letter case and accent folded).
template <typename Out>
void appendPrimary(Out &out, char32_t c)
{
    if (c < WeightTable::Size && weights().weight(c).known) {
        const Weight &w = weights().weight(c);
        out.push_back(char(w.primary[0]));
        if (w.primary[1])
            out.push_back(char(w.primary[1]));
        return;
    }
    // Other scripts after the Latin letters, by the code of their letter
    // without accents.
    char32_t folded = QChar::toCaseFolded(c);
    while (QChar::decompositionTag(folded) == QChar::Canonical)
        folded = QChar::toCaseFolded(QChar::decomposition(folded).toUcs4().front());
    out.push_back(char(Escape));
    out.push_back(char(2 + ((folded >> 14) & 0x7F)));
    out.push_back(char(2 + ((folded >> 7) & 0x7F)));
    out.push_back(char(2 + (folded & 0x7F)));
}

void appendSortKey(std::string &key, QByteArrayView utf8)
{
    // Built in buffers sized for the line and appended once: the keys of a
    // million lines are made at each start.
    const size_t most = size_t(utf8.size());
    char small[4 * 256 + 2 * 256 + 256];
    std::vector<char> large;
    char *primary = small;
    if (most > 256) {
        large.resize(7 * most);
        primary = large.data();
    }
    char *accents = primary + 4 * std::max<size_t>(most, 256);
    char *capitals = accents + 2 * std::max<size_t>(most, 256);
    char *p = primary, *a = accents, *c = capitals;

    const WeightTable &table = weights();
    Utf8Reader reader(utf8);
    for (int place = 0; !reader.atEnd(); ++place) {
        const char32_t ch = reader.next();
        const size_t element = size_t(p - primary);
        bool capital = false;
        if (ch < WeightTable::Size && table.weight(ch).known) {
            const Weight &w = table.weight(ch);
            *p++ = char(w.primary[0]);
            if (w.primary[1])
                *p++ = char(w.primary[1]);
            if (w.accent) {
                // An accent further on sorts first: "eé" before "ée".
                *a++ = char(0xFF - std::min<size_t>(element, 0xFC));
                *a++ = char(2 + w.accent);
            }
            capital = w.capital;
        } else {
            std::string escaped;
            appendPrimary(escaped, ch);
            p = std::copy(escaped.begin(), escaped.end(), p);
            capital = QChar::toCaseFolded(ch) != ch;
        }
        if (capital)
            *c++ = char(2 + std::min(place, 0xFC));
    }
    key.append(primary, p);
    key.push_back(Separator);
    key.append(accents, a);
    key.push_back(Separator);
    key.append(capitals, c);
    key.push_back(char(0xFF));
}

// A case-insensitive comparison of the first characters of a line with a
// prefix already folded.
bool startsWithFolded(QByteArrayView line, const std::u32string &foldedPrefix)
{
    Utf8Reader reader(line);
    for (const char32_t p : foldedPrefix) {
        if (reader.atEnd() || QChar::toCaseFolded(reader.next()) != p)
            return false;
    }
    return true;
}

std::string primaryOf(QByteArrayView utf8, size_t atMost)
{
    std::string primary;
    Utf8Reader reader(utf8);
    while (!reader.atEnd() && primary.size() < atMost)
        appendPrimary(primary, reader.next());
    primary.resize(std::min(primary.size(), atMost));
    return primary;
}

// One step of the sort: 16 bytes of key, read big-endian so that integer
// order is byte order.
struct Chunk {
    quint64 high = 0;
    quint64 low = 0;
    quint32 line = 0;
    bool operator<(const Chunk &o) const { return high != o.high ? high < o.high : low < o.low; }
    bool sameKey(const Chunk &o) const { return high == o.high && low == o.low; }
};

class KeySorter
{
public:
    KeySorter(const std::string &keys, const std::vector<size_t> &offsets,
              const std::function<QByteArrayView(quint32)> &text)
        : m_keys(keys), m_offsets(offsets), m_text(text)
    {
    }

    void sort(Chunk *begin, Chunk *end, size_t depth)
    {
        for (Chunk *c = begin; c != end; ++c)
            load(*c, depth);
        std::sort(begin, end);
        for (Chunk *run = begin; run != end;) {
            Chunk *runEnd = run + 1;
            while (runEnd != end && runEnd->sameKey(*run))
                ++runEnd;
            if (runEnd - run > 1) {
                if (keyLength(run->line) > (depth + 1) * 16)
                    sort(run, runEnd, depth + 1);
                else // the same key: the exact text decides
                    std::sort(run, runEnd, [this](const Chunk &a, const Chunk &b) {
                        return m_text(a.line) < m_text(b.line);
                    });
            }
            run = runEnd;
        }
    }

private:
    size_t keyLength(quint32 line) const { return m_offsets[line + 1] - m_offsets[line]; }

    void load(Chunk &chunk, size_t depth) const
    {
        const size_t from = m_offsets[chunk.line] + depth * 16;
        const size_t to = m_offsets[chunk.line + 1];
        uchar bytes[16] = {};
        if (from < to)
            std::memcpy(bytes, m_keys.data() + from, std::min<size_t>(16, to - from));
        chunk.high = qFromBigEndian<quint64>(bytes);
        chunk.low = qFromBigEndian<quint64>(bytes + 8);
    }

    const std::string &m_keys;
    const std::vector<size_t> &m_offsets;
    const std::function<QByteArrayView(quint32)> &m_text;
};

} // namespace

void NameList::reserve(qsizetype lines)
{
    m_offsets.reserve(size_t(lines) + 1);
    // Room for long lines: the pages a shorter text leaves untouched cost no
    // memory, while growing the buffer would copy it.
    m_text.reserve(lines * 64);
}

void NameList::append(QStringView name, QStringView edition)
{
    if (m_offsets.empty())
        m_offsets.push_back(0);
    appendUtf8(m_text, name);
    m_text.append(" (");
    appendUtf8(m_text, edition);
    m_text.append(')');
    // Offsets are 32-bit: four gigabytes of names is no catalogue.
    if (quint64(m_text.size()) > std::numeric_limits<quint32>::max())
        throw AppError(QStringLiteral("Les noms des cartes sont trop longs pour les listes de la recherche de cartes."));
    m_offsets.push_back(quint32(m_text.size()));
}

void NameList::clear()
{
    m_text = QByteArray();
    std::vector<quint32>().swap(m_offsets);
}

void NameList::sort()
{
    const size_t count = size_t(size());
    std::string keys;
    keys.reserve(size_t(m_text.size()) + 4 * count);
    std::vector<size_t> keyOffsets;
    keyOffsets.reserve(count + 1);
    keyOffsets.push_back(0);
    for (quint32 line = 0; line < count; ++line) {
        appendSortKey(keys, utf8(line));
        keyOffsets.push_back(keys.size());
    }
    std::vector<Chunk> chunks(count);
    for (quint32 line = 0; line < count; ++line)
        chunks[line].line = line;
    const std::function<QByteArrayView(quint32)> text = [this](quint32 line) { return utf8(line); };
    KeySorter(keys, keyOffsets, text).sort(chunks.data(), chunks.data() + count, 0);
    std::vector<size_t>().swap(keyOffsets);
    std::string().swap(keys);

    // The text is laid out again in the order shown, so that the lines a
    // completion reads one after the other lie one after the other.
    QByteArray sorted(m_text.size(), Qt::Uninitialized);
    std::vector<quint32> offsets;
    offsets.reserve(count + 1);
    offsets.push_back(0);
    char *out = sorted.data();
    for (size_t row = 0; row < count; ++row) {
        const QByteArrayView line = utf8(chunks[row].line);
        std::memcpy(out, line.data(), size_t(line.size()));
        out += line.size();
        offsets.push_back(quint32(out - sorted.constData()));
    }
    m_text = std::move(sorted);
    m_offsets = std::move(offsets);
}

QString NameList::line(qsizetype row) const
{
    return QString::fromUtf8(utf8(quint32(row)));
}

QStringList NameList::lines() const
{
    QStringList all;
    all.reserve(size());
    for (qsizetype row = 0; row < size(); ++row)
        all.append(line(row));
    return all;
}

std::vector<quint32> NameList::rowsStartingWith(QStringView prefix) const
{
    std::vector<quint32> rows;
    if (prefix.isEmpty())
        return rows;
    std::u32string folded;
    std::string primary;
    for (const char32_t c : prefix.toUcs4()) {
        folded.push_back(QChar::toCaseFolded(c));
        appendPrimary(primary, c);
    }
    // Every line starting with the prefix has its weights after those of
    // the prefix, so they lie in one stretch of the sorted list.
    const auto primaryOfRow = [&](quint32 row) { return primaryOf(utf8(row), primary.size()); };
    quint32 low = 0, high = quint32(size());
    while (low < high) {
        const quint32 mid = low + (high - low) / 2;
        if (primaryOfRow(mid) < primary)
            low = mid + 1;
        else
            high = mid;
    }
    quint32 end = low;
    high = quint32(size());
    while (end < high) {
        const quint32 mid = end + (high - end) / 2;
        if (primaryOfRow(mid) <= primary)
            end = mid + 1;
        else
            high = mid;
    }
    for (quint32 row = low; row < end; ++row) {
        if (startsWithFolded(utf8(row), folded))
            rows.push_back(row);
    }
    return rows;
}

qsizetype NameList::rowOf(QStringView text) const
{
    QByteArray target;
    appendUtf8(target, text);
    std::string targetKey;
    appendSortKey(targetKey, target);
    const auto before = [&](quint32 row) {
        std::string key;
        appendSortKey(key, utf8(row));
        return key != targetKey ? key < targetKey : utf8(row) < QByteArrayView(target);
    };
    quint32 low = 0, high = quint32(size());
    while (low < high) {
        const quint32 mid = low + (high - low) / 2;
        if (before(mid))
            low = mid + 1;
        else
            high = mid;
    }
    if (low < quint32(size()) && utf8(low) == QByteArrayView(target))
        return low;
    return -1;
}

bool shownBefore(QStringView a, QStringView b)
{
    QByteArray textA, textB;
    appendUtf8(textA, a);
    appendUtf8(textB, b);
    std::string keyA, keyB;
    appendSortKey(keyA, textA);
    appendSortKey(keyB, textB);
    // As the sort of the lists: the key, then the exact text.
    return keyA != keyB ? keyA < keyB : QByteArrayView(textA) < QByteArrayView(textB);
}
