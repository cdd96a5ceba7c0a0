#include "ui/input_hold.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

InputHold::InputHold()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            m_held.append(window);
    }
    qApp->installEventFilter(this);
}

InputHold::~InputHold()
{
    qApp->removeEventFilter(this);
}

bool InputHold::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::Drop:
        break;
    case QEvent::Close:
        // Only the window system's close (the title bar's button); the
        // command itself closes its window when it is done.
        if (!event->spontaneous())
            return false;
        break;
    default:
        return false;
    }
    if (!watched->isWidgetType())
        return false;
    const QWidget *window = static_cast<QWidget *>(watched)->window();
    for (const QPointer<QWidget> &held : std::as_const(m_held)) {
        if (held == window) {
            // A close left unaccepted leaves the window open.
            event->ignore();
            return true;
        }
    }
    return false;
}
