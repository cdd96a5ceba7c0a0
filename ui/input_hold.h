#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

// Holds the user's input (clicks, keys, wheel, closing) to the windows on
// screen when it starts, for as long as it lives; windows shown after it (a
// report, a message box) take theirs as usual. A command that lets the
// window system run between its steps holds input this way, so that a click
// or a key queued meanwhile cannot start a second command, or change the
// first, under it.
class InputHold : public QObject
{
public:
    InputHold();
    ~InputHold() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<QPointer<QWidget>> m_held;
};
