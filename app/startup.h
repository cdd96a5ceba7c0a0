#pragma once

#include <QString>

// Where the start-up finds its configuration and its fallback directory.
struct StartupOptions {
    QString configurationFile;  // the INI file
    QString defaultDirectory;   // database directory when the INI gives none
    QString executableDir;      // fallback directory
    QString helpFile;           // AIDE.HLP
    QString sharedDataDir;      // an installed program's share/tabrix, else empty
};

// The options of a real run: the platform's files and the executable's
// own directory.
StartupOptions defaultStartupOptions();

// The start-up message when CARTES.DB is found nowhere.
QString startupErrorMessage(const QString &configurationFile);

// The start-up up to the event loop: reads the configuration, proves that
// the card table can be opened, shows the splash and creates every window
// once, in order, registering them in windows(). Returns 0 when the program
// can run, otherwise the exit status after the message has been shown (no
// main window shown).
int startUp(const StartupOptions &options);

// Shows the main window, runs the event loop and returns its status.
int runMainWindow();

// Deletes every window and the session (the end of a run, or of a test).
void shutDown();

// The whole program.
int runTabrix();
