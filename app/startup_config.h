#pragma once

#include <QString>

// The start-up's configuration decisions, kept apart from the windows so
// that each case can be tried on real directories.
namespace startup {

// The configuration file: $TABRIX_INI when set, else TABRIX.INI in the
// user's configuration folder (C:\WINDOWS\TABRIX.INI on Windows).
QString configurationFile();

// The database directory used when the configuration gives none:
// ~/.local/share/tabrix (C:\TABRIX on Windows).
QString defaultDatabaseDirectory();

// The executable's real directory (symbolic links resolved), whatever the
// executable is called.
QString executableDirectory();

// Section "CONFIGURATION", key "PATH" of the INI file `iniFile`, read as a
// Windows INI file (the value runs to the end of the line; a backslash or a
// comma is an ordinary character; section and key in any letter case).
// `defaultDirectory` when the file, the section or the key is missing. The
// result is cut to 255 characters. Nothing is ever written back.
QString readDatabaseDirectory(const QString &iniFile, const QString &defaultDirectory);

// True when `directory` holds the card table file (a plain file-system
// test; the table is not opened).
bool cardTableExists(const QString &directory);

// Where the card table is looked for: the configured directory when it holds
// the table, else the executable's directory, which the start-up must then
// prove by opening the table there.
struct DirectoryChoice {
    QString directory;
    bool fallback = false;          // the configured directory lacks the table
    bool configuredIsFile = false;  // PATH names a file, not a directory
};
DirectoryChoice chooseDatabaseDirectory(const QString &configured, const QString &executableDir);

// The shared data folder of an installed program: share/tabrix beside the
// executable's bin folder (/usr/share/tabrix for /usr/bin/tabrix). Empty
// when there is no such folder, as in the build tree.
QString sharedDataDirectory(const QString &executableDir);

// An installed program's tables belong to root and to every user, so they
// are never opened where they lie: when `userDir` has no card table and
// `sharedDir` has one, both tables are copied into `userDir` (made if
// needed), writable by the user. Returns `userDir` when it then holds the
// card table, else an empty string (nothing shared, or the copy failed).
QString userCopyOfSharedTables(const QString &sharedDir, const QString &userDir);

// The message shown when PATH names a file instead of a directory.
QString pathIsFileMessage(const QString &iniFile, const QString &configured);

} // namespace startup
