#include "data/csv_reader.h"

#include "data/csv_file.h"
#include "data/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace csv {

int Document::fieldCount(int row) const
{
    const size_t first = m_firstField[size_t(row)];
    const size_t end = size_t(row) + 1 < m_firstField.size() ? m_firstField[size_t(row) + 1] : m_fieldEnds.size();
    return int(end - first);
}

QString Document::field(int row, int column) const
{
    if (column < 0 || column >= fieldCount(row))
        return QString();
    const size_t index = m_firstField[size_t(row)] + size_t(column);
    const quint32 start = index == 0 ? 0 : m_fieldEnds[index - 1];
    return m_text.mid(qsizetype(start), qsizetype(m_fieldEnds[index] - start));
}

QStringList Document::row(int row) const
{
    QStringList fields;
    const int count = fieldCount(row);
    fields.reserve(count);
    for (int column = 0; column < count; ++column)
        fields << field(row, column);
    return fields;
}

void Document::beginRecord(int lineNumber)
{
    m_firstField.push_back(quint32(m_fieldEnds.size()));
    m_lines.push_back(lineNumber);
}

void Document::appendField(QStringView text)
{
    m_text += text;
    m_fieldEnds.push_back(quint32(m_text.size()));
}

int Document::fieldsOfLastRecord() const
{
    return int(m_fieldEnds.size() - m_firstField.back());
}

bool Document::lastRecordIsBlank() const
{
    const int row = rowCount() - 1;
    for (int column = 0; column < fieldCount(row); ++column) {
        if (!field(row, column).trimmed().isEmpty())
            return false;
    }
    return true;
}

void Document::dropLastRecord()
{
    const quint32 first = m_firstField.back();
    m_text.truncate(first == 0 ? 0 : qsizetype(m_fieldEnds[first - 1]));
    m_fieldEnds.resize(first);
    m_firstField.pop_back();
    m_lines.pop_back();
}

namespace {

[[noreturn]] void refuse(int line, int column, const QString &why)
{
    throw AppError(QStringLiteral("Ligne %1, colonne %2 : %3").arg(line).arg(column).arg(why));
}

QString number(int value)
{
    return QString::number(value);
}

QString decode(const QByteArray &bytes, Encoding &encoding)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        throw AppError(QStringLiteral("Le fichier est en UTF-16 : enregistrez-le en UTF-8 ou en Windows-1252 "
                                      "pour l'importer."));
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        encoding = Encoding::Utf8;
        QStringDecoder utf8(QStringDecoder::Utf8);
        return utf8.decode(QByteArrayView(bytes).sliced(3));
    }
    // A text that is valid UTF-8 is read as UTF-8 (plain ASCII is both);
    // anything else is the Windows Western code page.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        encoding = Encoding::Utf8;
        return text;
    }
    encoding = Encoding::Cp1252;
    QStringDecoder cp1252("windows-1252");
    return cp1252.decode(bytes);
}

// The separator that occurs most often outside quotes in the first line;
// ";" when there is none (a file of one column) or on a tie.
QChar detectSeparator(const QString &text)
{
    int semicolons = 0, commas = 0, tabs = 0;
    bool inQuotes = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"'))
            inQuotes = !inQuotes;
        else if (inQuotes)
            continue;
        else if (c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            break;
        else if (c == QLatin1Char(';'))
            ++semicolons;
        else if (c == QLatin1Char(','))
            ++commas;
        else if (c == QLatin1Char('\t'))
            ++tabs;
    }
    if (commas > semicolons && commas >= tabs)
        return QLatin1Char(',');
    if (tabs > semicolons && tabs > commas)
        return QLatin1Char('\t');
    return QLatin1Char(';');
}

} // namespace

Document parse(const QByteArray &bytes)
{
    Document document;
    const QString text = decode(bytes, document.encoding);
    if (text.isEmpty())
        throw AppError(QStringLiteral("Le fichier est vide : il n'a pas de ligne d'en-tête."));
    const QChar separator = detectSeparator(text);
    document.separator = separator;

    enum class State { FieldStart, Unquoted, Quoted, AfterQuote };
    State state = State::FieldStart;
    qsizetype fieldStart = 0; // where an unquoted field starts in the text
    QString quotedField;      // a quoted field, its doubled quotes made single
    bool headerRead = false;
    int line = 1;         // the line the reading stands on
    int quoteLine = 1;    // the line the open quote stands on
    int recordLength = 0; // characters of the record so far
    bool pending = false; // something read since the record started

    // The header is read as the first record, then taken out.
    document.beginRecord(line);
    const auto column = [&] { return document.fieldsOfLastRecord() + 1; };
    const auto recordLine = [&] { return document.lineNumber(document.rowCount() - 1); };
    const auto endField = [&](qsizetype end) {
        if (document.fieldsOfLastRecord() >= MaxColumns)
            refuse(recordLine(), MaxColumns + 1, QStringLiteral("la ligne a plus de %1 colonnes.").arg(MaxColumns));
        if (state == State::AfterQuote) {
            // Our export puts an apostrophe before a field that a
            // spreadsheet would run as a formula: it reads back as it was.
            quotedField = unneutralised(quotedField);
            document.appendField(quotedField);
            quotedField.clear();
        } else {
            document.appendField(QStringView(text).sliced(fieldStart, end - fieldStart));
        }
        state = State::FieldStart;
        fieldStart = end + 1;
    };
    const auto endRecord = [&](qsizetype end) {
        endField(end);
        if (!headerRead) {
            if (document.lastRecordIsBlank())
                refuse(recordLine(), 1,
                       QStringLiteral("la ligne d'en-tête, qui doit donner le titre de chaque colonne, est vide."));
            document.header = document.row(0);
            document.dropLastRecord();
            headerRead = true;
        } else if (document.lastRecordIsBlank()) {
            document.dropLastRecord();
        } else if (document.rowCount() > MaxRecords) {
            refuse(recordLine(), 1, QStringLiteral("le fichier a plus de %1 lignes.").arg(number(MaxRecords)));
        }
        recordLength = 0;
        pending = false;
    };

    const qsizetype size = text.size();
    qsizetype i = 0;
    for (; i < size; ++i) {
        const QChar c = text[i];
        const bool lineBreak = c == QLatin1Char('\n') || c == QLatin1Char('\r');
        // CR LF is one line break.
        const bool crLf = c == QLatin1Char('\r') && i + 1 < size && text[i + 1] == QLatin1Char('\n');
        if (c == QChar(0x1A))
            break; // the end of a text file, for the programs that still mark it
        if (c.unicode() < 0x20 && c != QLatin1Char('\t') && !lineBreak)
            refuse(line, pending ? column() : 1,
                   QStringLiteral("caractère de contrôle (code %1) : ce n'est pas un fichier texte.").arg(c.unicode()));
        if (lineBreak && state != State::Quoted) {
            if (pending) {
                endRecord(i);
            } else if (!headerRead) {
                refuse(line, 1,
                       QStringLiteral("la ligne d'en-tête, qui doit donner le titre de chaque colonne, est vide."));
            }
            ++line;
            if (crLf)
                ++i;
            fieldStart = i + 1;
            continue;
        }
        if (!pending) {
            pending = true;
            if (headerRead)
                document.beginRecord(line);
            fieldStart = i;
        }
        if (++recordLength > MaxLineLength) {
            QString why = QStringLiteral("la ligne a plus de %1 caractères.").arg(number(MaxLineLength));
            if (state == State::Quoted)
                why += QStringLiteral(" Un guillemet ouvert à la ligne %1 n'est peut-être jamais fermé.").arg(quoteLine);
            refuse(recordLine(), column(), why);
        }
        switch (state) {
        case State::Quoted:
            if (c == QLatin1Char('"')) {
                if (i + 1 < size && text[i + 1] == QLatin1Char('"')) {
                    quotedField += c;
                    ++i;
                } else {
                    state = State::AfterQuote;
                }
            } else {
                quotedField += c;
                if (c == QLatin1Char('\n') || (c == QLatin1Char('\r') && !crLf))
                    ++line;
            }
            break;
        case State::AfterQuote:
            if (c == separator) {
                endField(i);
            } else if (c != QLatin1Char(' ')) {
                refuse(line, column(),
                       QStringLiteral("« %1 » suit le guillemet fermant : un champ entre guillemets finit au "
                                      "séparateur ou en fin de ligne.")
                           .arg(c));
            }
            break;
        case State::FieldStart:
        case State::Unquoted:
            if (c == separator)
                endField(i);
            else if (c == QLatin1Char('"') && state == State::FieldStart)
                state = State::Quoted;
            else
                state = State::Unquoted;
            if (state == State::Quoted)
                quoteLine = line;
            break;
        }
    }
    if (state == State::Quoted)
        refuse(quoteLine, column(), QStringLiteral("un guillemet est ouvert et jamais fermé."));
    if (pending)
        endRecord(i);
    if (!headerRead)
        throw AppError(QStringLiteral("Le fichier est vide : il n'a pas de ligne d'en-tête."));
    return document;
}

Document readFile(const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    const auto refused = [&](const QString &why) {
        return AppError(QStringLiteral("Le fichier %1 n'est pas importé.\n%2").arg(shown, why));
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw refused(QStringLiteral("Il ne peut pas être lu : %1").arg(file.errorString()));
    // At most one byte more than the limit is read, whatever the file says
    // of its size (a device, a file that grows).
    const QByteArray bytes = file.read(MaxFileSize + 1);
    if (bytes.size() > MaxFileSize)
        throw refused(QStringLiteral("Il fait plus de %1 Mo : l'importation en accepte au plus %1.")
                          .arg(MaxFileSize / (1024 * 1024)));
    try {
        return parse(bytes);
    } catch (const AppError &error) {
        throw refused(error.message());
    }
}

QString encodingName(Encoding encoding)
{
    return encoding == Encoding::Utf8 ? QStringLiteral("UTF-8") : QStringLiteral("Windows-1252");
}

QString separatorName(QChar separator)
{
    if (separator == QLatin1Char(','))
        return QStringLiteral("virgule");
    if (separator == QLatin1Char('\t'))
        return QStringLiteral("tabulation");
    return QStringLiteral("point-virgule");
}

} // namespace csv
