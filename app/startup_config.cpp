#include "app/startup_config.h"

#include "data/card_table.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringDecoder>

namespace startup {

namespace {

constexpr int MaxDirectoryLength = 255;

QString decodeIniText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    // A file written on Windows is in its Western code page.
    QStringDecoder cp1252("windows-1252");
    if (cp1252.isValid())
        return cp1252(bytes);
    return QString::fromLatin1(bytes);
}

// Windows INI reading: "[section]" lines, "key=value" lines whose value is
// the rest of the line (trimmed, one pair of enclosing double quotes
// removed), ';' comment lines; the first occurrence of a key wins and keys
// are stored in capitals. Qt's own
// INI format would read "C:\TABRIX" as "C:ABRIX" and "a,b" as a list.
bool readWindowsIni(QIODevice &device, QSettings::SettingsMap &map)
{
    const QString text = decodeIniText(device.readAll());
    QString section;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            const int end = line.indexOf(QLatin1Char(']'));
            section = line.mid(1, end < 0 ? -1 : end - 1).trimmed();
            continue;
        }
        const int equal = line.indexOf(QLatin1Char('='));
        if (equal <= 0 || section.isEmpty())
            continue;
        // Sections and keys are found in any letter case, as on Windows.
        const QString key = (section + QLatin1Char('/') + line.left(equal).trimmed()).toUpper();
        QString value = line.mid(equal + 1).trimmed();
        if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
            value = value.mid(1, value.size() - 2);
        if (!map.contains(key))
            map.insert(key, value);
    }
    return true;
}

bool neverWrite(QIODevice &, const QSettings::SettingsMap &)
{
    return false;
}

QSettings::Format windowsIniFormat()
{
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("INI"), readWindowsIni, neverWrite);
    return format;
}

} // namespace

QString configurationFile()
{
    const QString fromEnvironment = qEnvironmentVariable("TABRIX_INI");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\WINDOWS\\TABRIX.INI");
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/tabrix/TABRIX.INI");
#endif
}

QString defaultDatabaseDirectory()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\TABRIX");
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/tabrix");
#endif
}

QString executableDirectory()
{
    const QString directory = QCoreApplication::applicationDirPath();
    const QString real = QFileInfo(directory).canonicalFilePath();
    return QDir::toNativeSeparators(real.isEmpty() ? directory : real);
}

QString readDatabaseDirectory(const QString &iniFile, const QString &defaultDirectory)
{
    QString directory = defaultDirectory;
    if (QFileInfo(iniFile).isFile()) {
        QSettings settings(iniFile, windowsIniFormat());
        directory = settings.value(QStringLiteral("CONFIGURATION/PATH"), defaultDirectory).toString();
    }
    return directory.left(MaxDirectoryLength);
}

bool cardTableExists(const QString &directory)
{
    if (directory.isEmpty() || !QFileInfo(directory).isDir())
        return false;
    // Table names are found without regard to letter case, as the engine does.
    const QStringList found =
        QDir(directory).entryList(QStringList{card::TableFile}, QDir::Files);
    return !found.isEmpty();
}

DirectoryChoice chooseDatabaseDirectory(const QString &configured, const QString &executableDir)
{
    DirectoryChoice choice;
    if (cardTableExists(configured)) {
        choice.directory = configured;
        return choice;
    }
    choice.fallback = true;
    choice.configuredIsFile = !configured.isEmpty() && QFileInfo(configured).isFile();
    choice.directory = executableDir.left(MaxDirectoryLength);
    return choice;
}

QString sharedDataDirectory(const QString &executableDir)
{
    if (executableDir.isEmpty())
        return QString();
    const QString shared = QDir(executableDir).filePath(QStringLiteral("../share/tabrix"));
    const QString real = QFileInfo(shared).canonicalFilePath();
    return real.isEmpty() ? QString() : QDir::toNativeSeparators(real);
}

QString userCopyOfSharedTables(const QString &sharedDir, const QString &userDir)
{
    if (userDir.isEmpty())
        return QString();
    if (cardTableExists(userDir))
        return userDir;
    if (sharedDir.isEmpty() || !cardTableExists(sharedDir) || !QDir().mkpath(userDir))
        return QString();
    const QDir from(sharedDir);
    const QDir to(userDir);
    // The card table last: a copy cut short leaves no CARTES.DB, so the next
    // start copies again instead of opening half a folder.
    for (const QString &name : {QStringLiteral("ECHANGE.DB"), card::TableFile}) {
        const QStringList found = from.entryList(QStringList{name}, QDir::Files);
        if (found.isEmpty())
            continue;
        // A table of the user's own is never replaced.
        if (!to.entryList(QStringList{name}, QDir::Files).isEmpty())
            continue;
        const QString target = to.filePath(found.first());
        const QString aside = target + QStringLiteral(".copie");
        QFile::remove(aside);
        if (!QFile::copy(from.filePath(found.first()), aside))
            return QString();
        // The shared files are read-only for the user; the copy is his.
        QFile::setPermissions(aside, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                         | QFileDevice::ReadGroup | QFileDevice::ReadOther);
        if (!QFile::rename(aside, target)) {
            QFile::remove(aside);
            return QString();
        }
    }
    return cardTableExists(userDir) ? userDir : QString();
}

QString pathIsFileMessage(const QString &iniFile, const QString &configured)
{
    return QStringLiteral("Le paramètre PATH du fichier %1 désigne le fichier « %2 » et non un "
                          "répertoire. Indiquez-y le répertoire qui contient CARTES.DB. "
                          "Tabrix cherche les bases de données dans le répertoire du programme.")
        .arg(QDir::toNativeSeparators(iniFile), configured);
}

} // namespace startup
