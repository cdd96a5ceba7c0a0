#pragma once

#include "app/startup.h"
#include "ui/windows.h"
#include "tests/support/modal_guard.h"
#include "tests/support/temp_tables.h"

#include <QAction>
#include <QDir>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

// The program started on a temporary card table, as far as the event loop
// (windows created, main window not shown); shut down with the object.
class StartedProgram
{
public:
    explicit StartedProgram(const std::vector<CardRow> &rows)
        : tables(rows)
    {
        StartupOptions options;
        options.configurationFile = QDir(elsewhere.path()).filePath(QStringLiteral("TABRIX.INI"));
        options.defaultDirectory = tables.dir();
        options.executableDir = elsewhere.path();
        options.helpFile = QStringLiteral(TABRIX_BIN_DIR "/AIDE.HLP");
        status = startUp(options);
    }
    ~StartedProgram() { shutDown(); }

    TempTables tables;
    QTemporaryDir elsewhere;
    int status = -1;
};

// Triggers an item of the main window's menu, as a click on it does.
inline void triggerMenuItem(const char *item)
{
    QAction *action = windows().principale->findChild<QAction *>(QString::fromLatin1(item));
    ASSERT_NE(action, nullptr) << item;
    action->trigger();
}
