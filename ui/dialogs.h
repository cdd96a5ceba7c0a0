#pragma once

#include <QString>

#include <functional>

class AppError;
class QPrinter;
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
    // result means cancelled. F1 in the dialog opens topic `helpContext`, or
    // that of `parent` when it is 0.
    virtual QString openFile(QWidget *parent, const QString &caption, const QString &filter,
                             int helpContext = 0) = 0;
    virtual QString saveFile(QWidget *parent, const QString &caption, const QString &filter,
                             int helpContext = 0) = 0;
    // The open dialog with `selected` (a file, or empty) chosen already.
    virtual QString openFileAt(QWidget *parent, const QString &caption, const QString &filter,
                               const QString &selected, int helpContext = 0)
    {
        Q_UNUSED(selected);
        return openFile(parent, caption, filter, helpContext);
    }
    // The modal print preview of a document called `title`: `paint` draws
    // it on the preview's pages, then on the printer or PDF file the user
    // chooses there; F1 there opens the printing topic. Nothing is shown
    // unless a seam shows it.
    virtual void printPreview(QWidget *parent, const QString &title, const std::function<void(QPrinter &)> &paint)
    {
        Q_UNUSED(parent);
        Q_UNUSED(title);
        Q_UNUSED(paint);
    }
};

Dialogs &dialogs();
// Replaces the dialogs (tests); nullptr restores the Qt dialogs.
void setDialogs(Dialogs *dialogs);

// The standard error box, used by every command.
void showError(const QString &message);
// The same for an error of the program. One that found a table file damaged
// goes to the damage handler first, when one is set: the program offers its
// backups when the card table is damaged. The handler returns true when it
// has shown the error itself.
void showError(const AppError &error);
void setDamageHandler(std::function<bool(QWidget *parent, const AppError &error)> handler);

// Runs a command; an AppError or any other exception is shown by the
// standard error box and the program goes on. Returns false when it failed.
template <typename F>
bool runCommand(F &&command);

// Turns "Text (*.x)|*.x|Other (*.y)|*.y" into Qt's "Text (*.x);;Other (*.y)".
QString qtFileFilter(const QString &filter);

#include "ui/dialogs_impl.h"
