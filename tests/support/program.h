#pragma once

#include "app/startup.h"
#include "ui/windows.h"
#include "tests/support/temp_tables.h"

#include <QAction>
#include <QDir>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
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

// Runs `action` once `window` is on screen (inside its modal loop). The
// action must close the window.
inline void whenShown(QWidget *window, std::function<void()> action, int triesLeft = 500)
{
    QTimer::singleShot(10, window, [window, action, triesLeft]() {
        if (window->isVisible())
            action();
        else if (triesLeft > 0)
            whenShown(window, action, triesLeft - 1);
    });
}

// Triggers an item of the main window's menu, as a click on it does.
inline void triggerMenuItem(const char *item)
{
    QAction *action = windows().principale->findChild<QAction *>(QString::fromLatin1(item));
    ASSERT_NE(action, nullptr) << item;
    action->trigger();
}
