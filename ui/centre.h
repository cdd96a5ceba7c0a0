#pragma once

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

// Places `window` in the middle of the primary screen's free area, as the
// program's windows that open at a place of their own do.
inline void centreOnScreen(QWidget *window)
{
    if (QScreen *screen = QGuiApplication::primaryScreen())
        window->move(screen->availableGeometry().center() - window->rect().center());
}
