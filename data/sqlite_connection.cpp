#include "data/sqlite_connection.h"

#include "data/error.h"
#include "data/table_info.h"
#include "data/untrusted_copy.h"
#include "data/value_conversion.h"

#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <sqlite3.h>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

// Device and inode of a file (Windows does not let an open file be
// replaced, so nothing is needed there).
std::pair<quint64, quint64> fileIdentity(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) == 0)
        return {quint64(info.st_dev), quint64(info.st_ino)};
#else
    Q_UNUSED(path);
#endif
    return {0, 0};
}

QString sqliteMessage(sqlite3 *db, int rc)
{
    if (db && sqlite3_errcode(db) == rc)
        return QString::fromUtf8(sqlite3_errmsg(db));
    return QString::fromUtf8(sqlite3_errstr(rc));
}

// LIKE of the local SQL: case-sensitive, % for any run of characters and _
// for one character, on whole Unicode characters.
bool likeMatches(const QList<uint> &pattern, const QList<uint> &text)
{
    qsizetype p = 0, t = 0;
    qsizetype starPattern = -1, starText = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '%') {
            starPattern = ++p;
            starText = t;
        } else if (p < pattern.size() && (pattern[p] == '_' || pattern[p] == text[t])) {
            ++p;
            ++t;
        } else if (starPattern >= 0) {
            p = starPattern;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '%')
        ++p;
    return p == pattern.size();
}

QString textArgument(sqlite3_value *value)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(value));
    return QString::fromUtf8(text, sqlite3_value_bytes(value));
}

void likeFunction(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    // SQLite calls like(pattern, text) for "text LIKE pattern".
    if (argc != 2 || sqlite3_value_type(argv[0]) == SQLITE_NULL
        || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const bool matches = likeMatches(textArgument(argv[0]).toUcs4(), textArgument(argv[1]).toUcs4());
    sqlite3_result_int(context, matches ? 1 : 0);
}

// UPPER of the local SQL turns only a to z into A to Z, whatever SQLite was
// built with; accented letters stay as they are.
void upperFunction(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    if (argc != 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    QByteArray bytes(text, sqlite3_value_bytes(argv[0]));
    for (char &c : bytes) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    }
    sqlite3_result_text(context, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
}

} // namespace

[[noreturn]] void throwSqlite(sqlite3 *db, int rc, const QString &filePath)
{
    const QString detail = sqliteMessage(db, rc);
    const QString file = QStringLiteral("« %1 »").arg(filePath);
    QString message;
    switch (rc & 0xff) {
    case SQLITE_NOTADB:
        message = QStringLiteral("Le fichier %1 n'est pas une table de base de données.").arg(file);
        break;
    case SQLITE_CORRUPT:
        message = QStringLiteral("Le fichier %1 est endommagé.").arg(file);
        break;
    case SQLITE_READONLY:
        // Reading too needs a write when the file was left half-written (its
        // journal or WAL must be played back) or is kept in WAL mode.
        if (rc == SQLITE_READONLY_ROLLBACK || rc == SQLITE_READONLY_RECOVERY)
            message = QStringLiteral("La table %1 a été laissée à moitié écrite par un programme arrêté en "
                                     "cours de modification, et elle ne peut pas être remise en état : elle "
                                     "ou son dossier est en lecture seule.")
                          .arg(file);
        else if (rc == SQLITE_READONLY_CANTINIT || rc == SQLITE_READONLY_CANTLOCK
                 || rc == SQLITE_READONLY_DIRECTORY)
            message = QStringLiteral("La table %1 ne peut pas être lue : elle est en mode WAL et son dossier "
                                     "est en lecture seule.")
                          .arg(file);
        else
            message = QStringLiteral("La table %1 est en lecture seule : la modification n'a pas été "
                                     "enregistrée.")
                          .arg(file);
        break;
    case SQLITE_CANTOPEN:
        message = QStringLiteral("Impossible d'ouvrir le fichier %1.").arg(file);
        break;
    case SQLITE_PERM:
    case SQLITE_AUTH:
        message = QStringLiteral("Accès refusé au fichier %1.").arg(file);
        break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        message = QStringLiteral("La table %1 est occupée par un autre programme.").arg(file);
        break;
    case SQLITE_FULL:
        message = QStringLiteral("Le disque est plein : la table %1 n'a pas pu être modifiée.").arg(file);
        break;
    case SQLITE_IOERR:
        message = QStringLiteral("Erreur d'entrée/sortie sur le fichier %1.").arg(file);
        break;
    case SQLITE_TOOBIG:
        message = QStringLiteral("Une valeur est trop grande pour la table %1.").arg(file);
        break;
    case SQLITE_NOMEM:
        message = QStringLiteral("Mémoire insuffisante pour lire la table %1.").arg(file);
        break;
    case SQLITE_CONSTRAINT:
        if (rc == SQLITE_CONSTRAINT_PRIMARYKEY || rc == SQLITE_CONSTRAINT_UNIQUE)
            message = QStringLiteral("Clé en double dans la table %1 : une autre ligne porte déjà "
                                     "cette clé.")
                          .arg(file);
        else if (rc == SQLITE_CONSTRAINT_NOTNULL)
            message = QStringLiteral("Un champ obligatoire est vide dans la table %1.").arg(file);
        else
            message = QStringLiteral("La modification viole une contrainte de la table %1.").arg(file);
        break;
    default:
        message = QStringLiteral("Erreur de la base de données sur %1.").arg(file);
        break;
    }
    const bool damaged = (rc & 0xff) == SQLITE_CORRUPT;
    throw AppError(message + QStringLiteral(" (SQLite : %1)").arg(detail), damaged ? filePath : QString());
}

void checkSqlite(sqlite3 *db, int rc, const QString &filePath)
{
    if (rc == SQLITE_OK || rc == SQLITE_ROW || rc == SQLITE_DONE)
        return;
    throwSqlite(db, rc, filePath);
}

QString quoteIdentifier(const QString &name)
{
    QString doubled = name;
    doubled.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

void SqliteConnection::Closer::operator()(sqlite3 *db) const
{
    sqlite3_close_v2(db);
}

SqliteConnection::SqliteConnection(const QString &filePath, OpenMode mode)
    : m_filePath(filePath)
    , m_mode(mode)
{
    const bool readOnly = mode == OpenMode::ReadOnly || mode == OpenMode::Untrusted;
    // Each connection is used by the one thread that runs the windows.
    const int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    QString openedPath = filePath;
    if (mode == OpenMode::Untrusted) {
        UntrustedCopy copy = consistentCopyOf(filePath);
        if (copy.folder) {
            m_privateCopy = std::move(copy.folder);
            openedPath = copy.path;
        }
    }
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(openedPath.toUtf8().constData(), &db, flags, nullptr);
    m_db.reset(db);
    check(rc);
    m_fileId = fileIdentity(filePath);
    configure();
}

bool SqliteConnection::isStillTheFile() const
{
    return fileIdentity(m_filePath) == m_fileId;
}

bool SqliteConnection::isReadOnly() const
{
    return sqlite3_db_readonly(handle(), "main") == 1;
}

void SqliteConnection::exec(const QString &sql)
{
    check(sqlite3_exec(handle(), sql.toUtf8().constData(), nullptr, nullptr, nullptr));
}

void SqliteConnection::configure()
{
    sqlite3 *db = handle();
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, 5000);
    // A stray double quote must never turn into a text constant.
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);

    const int textFunction = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    check(sqlite3_create_function_v2(db, "like", 2, textFunction, nullptr, likeFunction, nullptr,
                                     nullptr, nullptr));
    check(sqlite3_create_function_v2(db, "upper", 1, textFunction, nullptr, upperFunction, nullptr,
                                     nullptr, nullptr));

    // No trigger or view stored in a table file ever runs or is used, in the
    // user's own table as in a file from someone else: the program reads and
    // writes rows, nothing more.
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);

    if (m_mode == OpenMode::Untrusted)
        secureForUntrustedFile();
}

SqliteConnection::~SqliteConnection()
{
    for (auto &[sql, statement] : m_prepared)
        sqlite3_finalize(statement);
}

void SqliteConnection::prepareToWrite()
{
    const OpenMode mode = m_wantedJournal;
    if (m_journal == mode || mode == OpenMode::ReadOnly || isReadOnly())
        return;
    // An empty file is left as it is: it is not a table, and switching the
    // journal would write a database header into it.
    if (QFileInfo(m_filePath).size() == 0)
        return;
    try {
        exec(mode == OpenMode::Writable ? QStringLiteral("PRAGMA journal_mode=WAL")
                                        : QStringLiteral("PRAGMA journal_mode=DELETE"));
        if (mode == OpenMode::Writable) {
            exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
            // Whole-table passes commit every hundredth of the rows: folding
            // the WAL back every 40 MB rather than every 4 MB spares most of
            // the disk flushes of a pass. The last close folds in the rest.
            exec(QStringLiteral("PRAGMA wal_autocheckpoint=10000"));
        }
        m_journal = mode;
    } catch (const AppError &) {
        // A read-only or foreign file keeps its current journal; opening the
        // table will report what is really wrong with it.
    }
}

sqlite3_stmt *SqliteConnection::takePrepared(const QByteArray &sql)
{
    const auto kept = m_prepared.find(sql);
    if (kept == m_prepared.end())
        return nullptr;
    sqlite3_stmt *statement = kept->second;
    m_prepared.erase(kept);
    return statement;
}

void SqliteConnection::keepPrepared(const QByteArray &sql, sqlite3_stmt *statement)
{
    // A bound on the statements kept: the texts a program builds are few,
    // but a filter typed by the user makes a new one each time.
    constexpr size_t MaxKept = 64;
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    if (m_prepared.size() >= MaxKept) {
        sqlite3_finalize(statement);
        return;
    }
    m_prepared.emplace(sql, statement);
}

int SqliteConnection::schemaVersion()
{
    sqlite3_stmt *statement = takePrepared(QByteArrayLiteral("PRAGMA schema_version"));
    if (!statement)
        check(sqlite3_prepare_v3(handle(), "PRAGMA schema_version", -1, SQLITE_PREPARE_PERSISTENT,
                                 &statement, nullptr));
    const int rc = sqlite3_step(statement);
    const int version = rc == SQLITE_ROW ? sqlite3_column_int(statement, 0) : -1;
    keepPrepared(QByteArrayLiteral("PRAGMA schema_version"), statement);
    if (rc != SQLITE_ROW)
        throwSqlite(handle(), rc, m_filePath);
    return version;
}

std::shared_ptr<const TableInfo> SqliteConnection::cachedLayout()
{
    if (!m_layout)
        return nullptr;
    if (schemaVersion() != m_layoutVersion)
        m_layout.reset();
    return m_layout;
}

void SqliteConnection::setCachedLayout(std::shared_ptr<const TableInfo> layout)
{
    m_layout = std::move(layout);
    m_layoutVersion = schemaVersion();
}

void SqliteConnection::secureForUntrustedFile()
{
    sqlite3 *db = handle();
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, 16 * 1024 * 1024);
    sqlite3_limit(db, SQLITE_LIMIT_SQL_LENGTH, 100000);
    sqlite3_limit(db, SQLITE_LIMIT_COLUMN, 200);
    sqlite3_limit(db, SQLITE_LIMIT_EXPR_DEPTH, 100);
    sqlite3_limit(db, SQLITE_LIMIT_COMPOUND_SELECT, 4);
    sqlite3_limit(db, SQLITE_LIMIT_VDBE_OP, 100000);
    sqlite3_limit(db, SQLITE_LIMIT_FUNCTION_ARG, 8);
    sqlite3_limit(db, SQLITE_LIMIT_ATTACHED, 0);
    sqlite3_limit(db, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, 1000);
    sqlite3_limit(db, SQLITE_LIMIT_VARIABLE_NUMBER, 100);
    sqlite3_limit(db, SQLITE_LIMIT_TRIGGER_DEPTH, 1);
    exec(QStringLiteral("PRAGMA cell_size_check=ON"));
    exec(QStringLiteral("PRAGMA mmap_size=0"));

    // Check the file's structure before reading anything from it.
    sqlite3_stmt *raw = nullptr;
    check(sqlite3_prepare_v2(db, "PRAGMA quick_check(1)", -1, &raw, nullptr));
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> statement(raw, sqlite3_finalize);
    const int rc = sqlite3_step(raw);
    check(rc);
    const QString result = rc == SQLITE_ROW
        ? QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(raw, 0)))
        : QString();
    if (result != QLatin1String("ok"))
        throw AppError(QStringLiteral("Le fichier « %1 » est endommagé : %2").arg(m_filePath, result), m_filePath);
}

void SqliteStatement::Finalizer::operator()(sqlite3_stmt *statement) const
{
    sqlite3_finalize(statement);
}

SqliteStatement::SqliteStatement(std::shared_ptr<SqliteConnection> connection, const QString &sql)
    : m_connection(std::move(connection))
    , m_sql(sql.toUtf8())
{
    if (sqlite3_stmt *kept = m_connection->takePrepared(m_sql)) {
        m_statement.reset(kept);
        return;
    }
    sqlite3_stmt *raw = nullptr;
    const int rc = sqlite3_prepare_v3(m_connection->handle(), m_sql.constData(), int(m_sql.size()),
                                      SQLITE_PREPARE_PERSISTENT, &raw, nullptr);
    m_statement.reset(raw);
    m_connection->check(rc);
}

SqliteStatement::~SqliteStatement()
{
    if (m_statement)
        m_connection->keepPrepared(m_sql, m_statement.release());
}

void SqliteStatement::bind(int index, const QVariant &value)
{
    sqlite3_stmt *s = m_statement.get();
    int rc = SQLITE_OK;
    if (!value.isValid() || value.isNull()) {
        rc = sqlite3_bind_null(s, index);
    } else if (values::isFloat(value)) {
        rc = sqlite3_bind_double(s, index, value.toDouble());
    } else if (values::isNumber(value)) {
        rc = sqlite3_bind_int64(s, index, value.toLongLong());
    } else if (value.typeId() == QMetaType::QByteArray) {
        const QByteArray bytes = value.toByteArray();
        rc = sqlite3_bind_blob64(s, index, bytes.constData(), sqlite3_uint64(bytes.size()),
                                 SQLITE_TRANSIENT);
    } else {
        const QByteArray text = value.toString().toUtf8();
        rc = sqlite3_bind_text64(s, index, text.constData(), sqlite3_uint64(text.size()),
                                 SQLITE_TRANSIENT, SQLITE_UTF8);
    }
    m_connection->check(rc);
}

void SqliteStatement::bindAll(const QVariantList &values, int first)
{
    for (int i = 0; i < values.size(); ++i)
        bind(first + i, values[i]);
}

bool SqliteStatement::step()
{
    const int rc = sqlite3_step(m_statement.get());
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    throwSqlite(m_connection->handle(), rc, m_connection->filePath());
}

void SqliteStatement::reset()
{
    sqlite3_reset(m_statement.get());
}

int SqliteStatement::columnCount() const
{
    return sqlite3_column_count(m_statement.get());
}

QVariant SqliteStatement::column(int index) const
{
    sqlite3_stmt *s = m_statement.get();
    switch (sqlite3_column_type(s, index)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(s, index)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(s, index));
    case SQLITE_TEXT: {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(s, index));
        return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(s, index)));
    }
    case SQLITE_BLOB: {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(s, index));
        return QVariant(QByteArray(data, sqlite3_column_bytes(s, index)));
    }
    default:
        return QVariant();
    }
}

qint64 SqliteStatement::columnInt(int index) const
{
    return sqlite3_column_int64(m_statement.get(), index);
}

bool SqliteStatement::columnIsNull(int index) const
{
    return sqlite3_column_type(m_statement.get(), index) == SQLITE_NULL;
}

QString SqliteStatement::columnText(int index) const
{
    sqlite3_stmt *s = m_statement.get();
    switch (sqlite3_column_type(s, index)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return QString::number(sqlite3_column_int64(s, index));
    case SQLITE_FLOAT:
        return values::floatText(sqlite3_column_double(s, index));
    default: {
        // Text, and a blob read as the text it holds.
        const auto *text = static_cast<const char *>(sqlite3_column_blob(s, index));
        return QString::fromUtf8(text, sqlite3_column_bytes(s, index));
    }
    }
}

qint64 SqliteStatement::columnInteger(int index) const
{
    sqlite3_stmt *s = m_statement.get();
    switch (sqlite3_column_type(s, index)) {
    case SQLITE_NULL:
        return 0;
    case SQLITE_INTEGER:
        return sqlite3_column_int64(s, index);
    default:
        return values::toInteger(column(index));
    }
}

double SqliteStatement::columnFloat(int index) const
{
    sqlite3_stmt *s = m_statement.get();
    switch (sqlite3_column_type(s, index)) {
    case SQLITE_NULL:
        return 0;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return sqlite3_column_double(s, index);
    default:
        return values::toFloat(column(index));
    }
}

bool SqliteStatement::columnEquals(int index, const QVariant &value) const
{
    sqlite3_stmt *s = m_statement.get();
    const int type = sqlite3_column_type(s, index);
    if (!value.isValid() || value.isNull())
        return type == SQLITE_NULL;
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
        return type == SQLITE_INTEGER && sqlite3_column_int64(s, index) == value.toLongLong();
    case QMetaType::Double: {
        if (type != SQLITE_FLOAT)
            return false;
        const double stored = sqlite3_column_double(s, index);
        const double wanted = value.toDouble();
        return stored == wanted && std::signbit(stored) == std::signbit(wanted);
    }
    case QMetaType::QString: {
        if (type != SQLITE_TEXT)
            return false;
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(s, index));
        return QString::fromUtf8(text, sqlite3_column_bytes(s, index)) == value.toString();
    }
    case QMetaType::QByteArray: {
        if (type != SQLITE_BLOB)
            return false;
        const auto *data = static_cast<const char *>(sqlite3_column_blob(s, index));
        return QByteArrayView(data, sqlite3_column_bytes(s, index)) == value.toByteArray();
    }
    default:
        return false;
    }
}
