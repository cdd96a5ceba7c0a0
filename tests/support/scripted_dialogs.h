#pragma once

#include "ui/dialogs.h"
#include "ui/help.h"
#include "ui/print_pages.h"

#include <QPrinter>
#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

// Dialogs for tests: records every question, message and error shown and
// answers questions from a script (No once the script is used up). Also
// records the help topics asked for instead of opening the help window.
class ScriptedDialogs : public Dialogs
{
public:
    struct Shown {
        QString text;
        int helpContext = 0;
        bool withHelp = true; // a question offered its Help button
    };

    ScriptedDialogs()
    {
        setDialogs(this);
        help::setTopicViewer([this](int context, QWidget *) { topics.push_back(context); });
    }
    ~ScriptedDialogs() override
    {
        setDialogs(nullptr);
        help::setTopicViewer({});
    }

    Answer ask(QWidget *, const QString &text, int helpContext) override
    {
        questions.push_back({text, helpContext});
        return nextAnswer();
    }
    Answer askYesNo(QWidget *, const QString &text) override
    {
        questions.push_back({text, 0, false});
        return nextAnswer();
    }
    void inform(QWidget *, const QString &text, int helpContext, const QString &) override
    {
        messages.push_back({text, helpContext});
    }
    void error(QWidget *, const QString &text) override { errors.append(text); }
    QString openFile(QWidget *, const QString &, const QString &filter, int helpContext = 0) override
    {
        filters.append(filter);
        fileHelpContexts.push_back(helpContext);
        return nextFile();
    }
    QString saveFile(QWidget *, const QString &, const QString &filter, int helpContext = 0) override
    {
        filters.append(filter);
        fileHelpContexts.push_back(helpContext);
        return nextFile();
    }
    QString openFileAt(QWidget *parent, const QString &caption, const QString &filter,
                       const QString &selected, int helpContext = 0) override
    {
        selectedFiles.append(selected);
        return openFile(parent, caption, filter, helpContext);
    }
    // The print preview: its title is recorded; with a PDF file in
    // `pdfFiles`, the document is printed there as the user's "Imprimer dans
    // un fichier (PDF)" does.
    void printPreview(QWidget *, const QString &title, const std::function<void(QPrinter &)> &paint) override
    {
        printed.append(title);
        if (pdfFiles.empty())
            return;
        QPrinter printer(QPrinter::HighResolution);
        preparePrinter(printer, title);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfFiles.front());
        pdfFiles.pop_front();
        paint(printer);
    }

    std::deque<Answer> answers;
    std::deque<QString> files;
    std::vector<Shown> questions;
    std::vector<Shown> messages;
    QStringList errors;
    QStringList filters; // of the file dialogs shown
    std::vector<int> fileHelpContexts; // and the topic each one gave F1 (0: its window's)
    std::vector<int> topics;
    QStringList selectedFiles; // chosen already in the open dialogs shown
    QStringList printed;       // titles of the print previews shown
    std::deque<QString> pdfFiles;

private:
    QString nextFile()
    {
        if (files.empty())
            return QString();
        const QString file = files.front();
        files.pop_front();
        return file;
    }
    Answer nextAnswer()
    {
        if (answers.empty())
            return Answer::No;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
};
