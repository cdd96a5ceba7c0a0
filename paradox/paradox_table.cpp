#include "paradox/paradox_table.h"

#include "data/error.h"
#include "paradox/paradox_blob_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

// pxlib's header declares C functions without extern "C".
extern "C" {
#include <paradox.h>
}

#include <algorithm>

namespace {

// Offsets in the first bytes of a Paradox .DB header.
constexpr int HeaderMinimum = 0x58;
constexpr int FileVersionOffset = 0x39;

quint16 little16(const QByteArray &bytes, int offset)
{
    return quint16(quint8(bytes[offset])) | quint16(quint8(bytes[offset + 1])) << 8;
}

const char *codecName(int codePage)
{
    switch (codePage) {
    case 437: return "IBM437";
    case 850: return "IBM850";
    case 852: return "IBM852";
    case 865: return "IBM865";
    case 1250: return "windows-1250";
    case 1252: return "windows-1252";
    default: return nullptr;
    }
}

// pxlib reports through a handler; the last error is kept for the message.
void keepError(pxdoc_t *, int level, const char *message, void *data)
{
    if (level != PX_Warning && data)
        *static_cast<QString *>(data) = QString::fromLocal8Bit(message);
}

// pxlib copies a field into a buffer of its type's size, trusting the length
// the header gives: a field whose length does not fit its type would overrun
// that buffer, so the table is refused before any record is read.
bool lengthFitsType(int type, int length)
{
    switch (type) {
    case pxfAlpha: case pxfBytes: return length >= 1 && length <= 255;
    case pxfShort: return length == 2;
    case pxfLogical: return length == 1;
    case pxfDate: case pxfLong: case pxfAutoInc: case pxfTime: return length == 4;
    case pxfNumber: case pxfCurrency: case pxfTimestamp: return length == 8;
    case pxfBCD: return length == 17;
    case pxfMemoBLOb: case pxfBLOb: case pxfFmtMemoBLOb: case pxfOLE: case pxfGraphic:
        return length >= 10 && length <= 255;
    default: return false;
    }
}

quint32 little32(const QByteArray &bytes, int offset)
{
    return quint32(little16(bytes, offset)) | quint32(little16(bytes, offset + 2)) << 16;
}

// pxlib trusts the header: it follows block numbers and counts it reads
// there, and an encrypted or inconsistent header sends it seeking far beyond
// the file for minutes. The sizes are checked against the file before the
// file is handed to it. Empty when the header is sound, else the reason.
QString headerFault(const QString &filePath)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("lecture impossible");
    const qint64 fileSize = file.size();
    const QByteArray head = file.read(0x60);
    if (head.size() < HeaderMinimum)
        return QStringLiteral("fichier tronqué");
    // Tables of Paradox 4 and later (file version 5 and up; 3 and 4 are
    // Paradox 3.0 and 3.5) have the longer header, with a second password
    // word at 0x5C.
    const bool later = quint8(head[FileVersionOffset]) >= 5;
    if (later && (head.size() < 0x60 || little32(head, 0x5C) != 0))
        return QStringLiteral("table protégée par un mot de passe ou en-tête endommagé");
    const qint64 recordSize = little16(head, 0x00);
    const qint64 headerSize = little16(head, 0x02);
    const qint64 blockSize = qint64(quint8(head[0x05])) * 1024;
    const qint64 records = little32(head, 0x06);
    const qint64 fileBlocks = little16(head, 0x0C);
    const qint64 firstBlock = little16(head, 0x0E);
    const qint64 lastBlock = little16(head, 0x10);
    const qint64 fields = little16(head, 0x21);
    // 0xFF00FF00 is how an unprotected table of the later versions reads.
    const quint32 encryption = little32(head, 0x25);
    if (encryption != 0 && !(later && encryption == 0xFF00FF00u))
        return QStringLiteral("table protégée par un mot de passe");
    if (fields == 0 || fields > 255 || headerSize > fileSize || blockSize == 0)
        return QStringLiteral("en-tête endommagé");
    if (headerSize + fileBlocks * blockSize > fileSize || firstBlock > fileBlocks || lastBlock > fileBlocks
        || records * recordSize > fileSize - headerSize)
        return QStringLiteral("fichier tronqué ou en-tête incohérent");
    // pxlib walks the chain of data blocks from the first one: a chain that
    // loops or leaves the file keeps it reading forever, a block that claims
    // more records than it can hold sends it reading beyond it, and a header
    // that counts other records than the blocks hold sends it wandering
    // through memory it never filled.
    std::vector<bool> seen(std::size_t(fileBlocks) + 1, false);
    qint64 counted = 0;
    for (qint64 block = firstBlock; block != 0;) {
        if (block > fileBlocks || seen[std::size_t(block)])
            return QStringLiteral("chaîne des blocs de données endommagée");
        seen[std::size_t(block)] = true;
        if (!file.seek(headerSize + (block - 1) * blockSize))
            return QStringLiteral("fichier tronqué");
        const QByteArray blockHead = file.read(6);
        if (blockHead.size() < 6)
            return QStringLiteral("fichier tronqué");
        const qint64 moreBytes = qint16(little16(blockHead, 4));
        if (moreBytes + recordSize > blockSize - 6 || moreBytes < -recordSize
            || (recordSize > 0 && moreBytes % recordSize != 0))
            return QStringLiteral("bloc de données endommagé");
        counted += recordSize > 0 ? moreBytes / recordSize + 1 : 0;
        block = little16(blockHead, 0);
    }
    if (counted != records)
        return QStringLiteral("nombre de fiches incohérent");
    return {};
}

} // namespace

TableFileFormat tableFileFormat(const QString &filePath)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return TableFileFormat::Unknown;
    const QByteArray head = file.read(HeaderMinimum);
    if (head.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return TableFileFormat::Sqlite;
    if (head.size() < HeaderMinimum)
        return TableFileFormat::Unknown;
    const int recordSize = little16(head, 0);
    const int headerSize = little16(head, 2);
    const int fileType = quint8(head[4]);
    const int blockKb = quint8(head[5]);
    const int version = quint8(head[FileVersionOffset]);
    const bool plausible = recordSize > 0 && headerSize >= HeaderMinimum
        && (fileType == pxfFileTypIndexDB || fileType == pxfFileTypNonIndexDB)
        && blockKb >= 1 && blockKb <= 32 && version >= 3 && version <= 12;
    return plausible ? TableFileFormat::Paradox : TableFileFormat::Unknown;
}

struct ParadoxTable::Px {
    pxdoc_t *doc = nullptr;
    QString lastError;
    QStringDecoder decoder;
    std::FILE *blobFile = nullptr;
    std::vector<Kind> kinds;
    std::vector<QString> names;
    std::vector<int> offsets;
    QByteArray record;
    qint64 fileSize = 0;

    ~Px()
    {
        // pxlib's close leaves the blob file's stream and header allocated.
        if (doc && doc->px_blob) {
            pxblob_t *blob = doc->px_blob;
            doc->px_blob = nullptr;
            if (blob->mb_stream)
                PX_close_blob(blob);
            release(blob->mb_stream);
            release(blob->mb_head);
            blob->mb_stream = nullptr;
            blob->mb_head = nullptr;
            PX_delete_blob(blob);
        }
        if (doc) {
            PX_close(doc);
            PX_delete(doc);
        }
        // pxlib leaves a stream it was handed open.
        if (blobFile)
            std::fclose(blobFile);
    }
    QString decode(const char *bytes, int length)
    {
        if (!decoder.isValid())
            return QString::fromLatin1(bytes, length);
        return decoder.decode(QByteArrayView(bytes, length));
    }
    void release(void *memory) const
    {
        if (memory)
            doc->free(doc, memory);
    }
};

ParadoxTable::ParadoxTable(const QString &filePath) : m_filePath(filePath) {}

ParadoxTable::~ParadoxTable() = default;

void ParadoxTable::fail(const QString &reason) const
{
    throw AppError(QStringLiteral("La table Paradox %1 est illisible : %2.")
                       .arg(QDir::toNativeSeparators(m_filePath), reason));
}

void ParadoxTable::openRows(bool keyOrder)
{
    close();
    if (tableFileFormat(m_filePath) != TableFileFormat::Paradox)
        fail(QStringLiteral("ce n'est pas une table Paradox"));
    if (const QString fault = headerFault(m_filePath); !fault.isEmpty())
        fail(fault);
    auto px = std::make_unique<Px>();
    px->fileSize = QFileInfo(m_filePath).size();
    px->doc = PX_new2(keepError, nullptr, nullptr, nullptr);
    if (!px->doc)
        fail(QStringLiteral("mémoire insuffisante"));
    px->doc->errorhandler_user_data = &px->lastError;
    if (PX_open_file(px->doc, QFile::encodeName(m_filePath).constData()) < 0)
        fail(px->lastError.isEmpty() ? QStringLiteral("en-tête endommagé") : px->lastError);

    // The header is someone else's: its sizes must agree with themselves and
    // with the file before any record is read.
    const pxhead_t *head = px->doc->px_head;
    const int fields = PX_get_num_fields(px->doc);
    const int records = PX_get_num_records(px->doc);
    const int recordSize = PX_get_recordsize(px->doc);
    if (!head || fields <= 0 || fields > 255 || records < 0 || recordSize <= 0 || head->px_headersize <= 0)
        fail(QStringLiteral("en-tête endommagé"));
    const qint64 blockSize = qint64(head->px_maxtablesize) * 1024;
    const qint64 dataSize = px->fileSize - head->px_headersize;
    if (blockSize <= 0 || dataSize < 0 || qint64(head->px_fileblocks) * blockSize > dataSize
        || qint64(records) * recordSize > dataSize || head->px_primarykeyfields < 0
        || head->px_primarykeyfields > fields)
        fail(QStringLiteral("fichier tronqué ou en-tête incohérent"));
    int offset = 0;
    for (int i = 0; i < fields; ++i) {
        const pxfield_t *field = PX_get_field(px->doc, i);
        if (!field || !field->px_fname || !lengthFitsType(field->px_ftype, field->px_flen))
            fail(QStringLiteral("description des champs endommagée"));
        px->offsets.push_back(offset);
        offset += field->px_flen;
        switch (field->px_ftype) {
        case pxfShort: case pxfLong: case pxfAutoInc: case pxfLogical:
            px->kinds.push_back(Kind::Integer); break;
        case pxfNumber: case pxfCurrency:
            px->kinds.push_back(Kind::Float); break;
        case pxfBLOb: case pxfGraphic: case pxfOLE: case pxfBytes:
            px->kinds.push_back(Kind::Blob); break;
        default:
            px->kinds.push_back(Kind::Text); break;
        }
    }
    if (offset != recordSize)
        fail(QStringLiteral("taille des fiches incohérente"));

    m_codePage = head->px_doscodepage;
    if (const char *name = codecName(m_codePage))
        px->decoder = QStringDecoder(name);
    for (int i = 0; i < fields; ++i) {
        const char *name = PX_get_field(px->doc, i)->px_fname;
        px->names.push_back(px->decode(name, int(qstrnlen(name, 256))));
    }
    if (const QString blobPath = paradoxBlobFilePath(m_filePath); !blobPath.isEmpty()) {
        px->blobFile = openParadoxBlobFile(blobPath);
        // Attached before it is opened, so that a refused file is freed too.
        pxblob_t *blob = px->blobFile ? PX_new_blob(px->doc) : nullptr;
        px->doc->px_blob = blob;
        if (!blob || PX_open_blob_fp(blob, px->blobFile) < 0)
            throw AppError(QStringLiteral("Le fichier d'images %1 de la table est illisible ou endommagé.")
                               .arg(QDir::toNativeSeparators(blobPath)));
    }
    px->record.resize(recordSize);
    m_px = std::move(px);

    m_order.resize(records);
    for (int i = 0; i < records; ++i)
        m_order[i] = i;
    const int keyFields = head->px_primarykeyfields;
    if (keyOrder && keyFields > 0 && records > 1) {
        // Key values of every record, then the record numbers sorted on them
        // (a blank value before every other, as in the SQLite tables).
        std::vector<std::vector<QVariant>> keys(records);
        for (int i = 0; i < records; ++i) {
            if (!PX_get_record(m_px->doc, i, m_px->record.data()))
                fail(QStringLiteral("fiche %1 illisible").arg(i + 1));
            for (int k = 0; k < keyFields; ++k)
                keys[i].push_back(readField(k));
        }
        std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
            for (int k = 0; k < keyFields; ++k) {
                const QVariant &x = keys[a][k];
                const QVariant &y = keys[b][k];
                if (x.isNull() != y.isNull())
                    return x.isNull();
                const QPartialOrdering order = QVariant::compare(x, y);
                if (order == QPartialOrdering::Less)
                    return true;
                if (order == QPartialOrdering::Greater)
                    return false;
            }
            return false;
        });
    }
    m_cursor = 0;
    loadRow();
}

void ParadoxTable::loadRow()
{
    m_row.clear();
    if (m_cursor >= m_order.size())
        return;
    const int recordNumber = m_order[m_cursor];
    if (!PX_get_record(m_px->doc, recordNumber, m_px->record.data()))
        fail(QStringLiteral("fiche %1 illisible").arg(recordNumber + 1));
    for (int i = 0; i < fieldCount(); ++i)
        m_row.push_back(readField(i));
}

// One field of the record in m_px->record.
QVariant ParadoxTable::readField(int position) const
{
    Px &px = *m_px;
    const pxfield_t *field = PX_get_field(px.doc, position);
    char *data = px.record.data() + px.offsets[position];
    const int length = field->px_flen;
    switch (field->px_ftype) {
    case pxfAlpha: {
        char *text = nullptr;
        if (PX_get_data_alpha(px.doc, data, length, &text) <= 0 || !text)
            return QString();
        const QString decoded = px.decode(text, int(qstrnlen(text, length)));
        px.release(text);
        return decoded;
    }
    case pxfShort: {
        short value = 0;
        return PX_get_data_short(px.doc, data, length, &value) > 0 ? QVariant(qint64(value)) : QVariant();
    }
    case pxfLong:
    case pxfAutoInc: {
        long value = 0;
        return PX_get_data_long(px.doc, data, length, &value) > 0 ? QVariant(qint64(value)) : QVariant();
    }
    case pxfLogical: {
        char value = 0;
        return PX_get_data_byte(px.doc, data, length, &value) > 0 ? QVariant(qint64(value ? 1 : 0)) : QVariant();
    }
    case pxfNumber:
    case pxfCurrency: {
        double value = 0;
        return PX_get_data_double(px.doc, data, length, &value) > 0 ? QVariant(value) : QVariant();
    }
    case pxfDate: {
        long days = 0;
        // Day 0 is how a blank date reads back.
        if (PX_get_data_long(px.doc, data, length, &days) <= 0 || days <= 0)
            return QString();
        int year = 0, month = 0, day = 0;
        // Paradox counts days from 1 January of year 1.
        PX_SdnToGregorian(days + 1721425L, &year, &month, &day);
        return QStringLiteral("%1/%2/%3")
            .arg(day, 2, 10, QLatin1Char('0'))
            .arg(month, 2, 10, QLatin1Char('0'))
            .arg(year, 4, 10, QLatin1Char('0'));
    }
    case pxfMemoBLOb:
    case pxfFmtMemoBLOb:
    case pxfBLOb:
    case pxfGraphic:
    case pxfOLE: {
        const bool isText = field->px_ftype == pxfMemoBLOb || field->px_ftype == pxfFmtMemoBLOb;
        // Without the .MB file a blob reads empty; a small blob may sit in
        // the record itself, but only the .MB file tells its true size.
        if (!px.blobFile)
            return isText ? QVariant(QString()) : QVariant();
        int modification = 0;
        int size = 0;
        char *blob = nullptr;
        const int result = field->px_ftype == pxfGraphic
            ? PX_get_data_graphic(px.doc, data, length, &modification, &size, &blob)
            : PX_get_data_blob(px.doc, data, length, &modification, &size, &blob);
        // The last ten bytes of the field point into the .MB file and give
        // the blob's size (a picture's 8-byte header included): pxlib must
        // give back that many bytes, or the .MB file is not the table's.
        const qint64 declared = length >= 10 ? qint64(little32(QByteArray::fromRawData(data + length - 6, 4), 0)) : 0;
        const qint64 expected = field->px_ftype == pxfGraphic ? declared - 8 : declared;
        if (result < 0 || size < 0 || (declared > 0 && (result == 0 || !blob || size != expected))) {
            px.release(blob);
            throw AppError(QStringLiteral("Le fichier d'images de la table %1 est endommagé (fiche %2).")
                               .arg(QDir::toNativeSeparators(m_filePath))
                               .arg(m_cursor < m_order.size() ? m_order[m_cursor] + 1 : 0));
        }
        if (result == 0 || !blob || size == 0)
            return isText ? QVariant(QString()) : QVariant();
        QVariant value = isText ? QVariant(px.decode(blob, size)) : QVariant(QByteArray(blob, size));
        px.release(blob);
        return value;
    }
    case pxfBytes: {
        char *bytes = nullptr;
        if (PX_get_data_bytes(px.doc, data, length, &bytes) <= 0 || !bytes)
            return QVariant();
        QByteArray value(bytes, length);
        px.release(bytes);
        return value;
    }
    default:
        return QVariant();
    }
}

void ParadoxTable::close()
{
    m_px.reset();
    m_order.clear();
    m_row.clear();
    m_cursor = 0;
}

Dataset::State ParadoxTable::state() const
{
    return m_px ? State::Browse : State::Inactive;
}

void ParadoxTable::first()
{
    if (!m_px)
        return;
    m_cursor = 0;
    loadRow();
}

void ParadoxTable::next()
{
    if (!m_px || m_cursor >= m_order.size())
        return;
    ++m_cursor;
    loadRow();
}

bool ParadoxTable::eof() const
{
    return !m_px || m_cursor >= m_order.size();
}

int ParadoxTable::recordCount()
{
    return int(m_order.size());
}

int ParadoxTable::fieldCount() const
{
    return m_px ? int(m_px->names.size()) : 0;
}

QString ParadoxTable::fieldName(int position) const
{
    checkPosition(position);
    return m_px->names[position];
}

Dataset::Kind ParadoxTable::fieldKind(int position) const
{
    checkPosition(position);
    return m_px->kinds[position];
}

QVariant ParadoxTable::value(int position) const
{
    checkPosition(position);
    if (position >= int(m_row.size()))
        return QVariant();
    return m_row[position];
}
