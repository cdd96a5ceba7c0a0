#pragma once

#include <QString>

class QWidget;

// The one seam for modal questions, messages and file dialogs, so that a
// test can answer them and read what was shown. Production uses Qt dialogs.
class Dialogs
{
public:
    enum class Answer { Yes, No, Ok, Cancel };

    virtual ~Dialogs() = default;
    // Question with Yes, No and Help (Help opens the topic and asks again).
    virtual Answer ask(QWidget *parent, const QString &text, int helpContext) = 0;
    // The same question with No as the default button, for a risky step.
    virtual Answer askDefaultNo(QWidget *parent, const QString &text, int helpContext)
    {
        return ask(parent, text, helpContext);
    }
    // A question with Yes and No alone, for a message that has no help topic
    // to offer.
    virtual Answer askYesNo(QWidget *parent, const QString &text) { return ask(parent, text, 0); }
    // Information box with OK (and Help when helpContext > 0).
    virtual void inform(QWidget *parent, const QString &text, int helpContext = 0,
                        const QString &caption = QString()) = 0;
    // The standard error box.
    virtual void error(QWidget *parent, const QString &text) = 0;
    // File dialogs; `filter` is in the "Text (*.x)|*.x|..." form. An empty
    // result means cancelled.
    virtual QString openFile(QWidget *parent, const QString &caption, const QString &filter) = 0;
    virtual QString saveFile(QWidget *parent, const QString &caption, const QString &filter) = 0;
};

Dialogs &dialogs();
// Replaces the dialogs (tests); nullptr restores the Qt dialogs.
void setDialogs(Dialogs *dialogs);

// The standard error box, used by every command.
void showError(const QString &message);

// Runs a command; an AppError or any other exception is shown by the
// standard error box and the program goes on. Returns false when it failed.
template <typename F>
bool runCommand(F &&command);

// Turns "Text (*.x)|*.x|Other (*.y)|*.y" into Qt's "Text (*.x);;Other (*.y)".
QString qtFileFilter(const QString &filter);

#include "ui/dialogs_impl.h"
