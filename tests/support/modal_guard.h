#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

// A window test drives a modal window from a timer, since exec() does not
// return until the window closes. These helpers make sure it always closes:
// a window still open long after its scripted action fails the test and is
// closed, so a fault never leaves the suite waiting in exec() for ever.
namespace modal {

// Generous, for a loaded machine under sanitizers; a passing test never
// waits this long.
inline constexpr int LimitMs = 60000;

// Fails the test and hides `window` (which ends its exec()) if it is still
// on screen when `deadline` expires.
inline void failIfLeftOpen(QWidget *window, QDeadlineTimer deadline)
{
    const QPointer<QWidget> guarded(window);
    QTimer::singleShot(50, window, [guarded, deadline] {
        if (!guarded || !guarded->isVisible())
            return;
        if (!deadline.hasExpired()) {
            failIfLeftOpen(guarded, deadline);
            return;
        }
        ADD_FAILURE() << "the window " << guarded->objectName().toStdString()
                      << " was left open; the guard closed it";
        guarded->hide();
    });
}

// Is `window` shown and, when shown modally, in its own modal loop? A modal
// window's show handler runs before its loop starts (and a long pass there
// lets timers run): an action run then would be ignored by a busy window.
inline bool upAndRunning(QWidget *window)
{
    return window->isVisible() && (!window->isModal() || QApplication::activeModalWidget() == window);
}

} // namespace modal

// Runs `action` once `window` is on screen (inside its modal loop). The
// action must close the window, now or from a later event: a window still
// open a minute after the action fails the test and is closed. When the
// window is not shown within that minute, the action is dropped (a test
// may check that a window does not open).
inline void whenShown(QWidget *window, std::function<void()> action,
                      QDeadlineTimer showDeadline = QDeadlineTimer(modal::LimitMs))
{
    QTimer::singleShot(10, window, [window, action, showDeadline] {
        if (modal::upAndRunning(window)) {
            // Guarded from before the action, which may itself open a
            // window that never closes.
            modal::failIfLeftOpen(window, QDeadlineTimer(modal::LimitMs));
            action();
        } else if (!showDeadline.hasExpired()) {
            whenShown(window, action, showDeadline);
        }
    });
}
