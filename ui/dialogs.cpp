#include "ui/dialogs.h"

#include "ui/app_title.h"
#include "ui/help.h"
#include "ui/print_pages.h"
#include "ui/windows.h"
#include "data/error.h"

#include <QApplication>
#include <QMainWindow>
#include <QFileDialog>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QAbstractButton>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace {

// The buttons speak French whatever translations the system has.
void frenchButtons(QMessageBox &box)
{
    const std::pair<QMessageBox::StandardButton, const char *> texts[] = {
        {QMessageBox::Yes, "&Oui"}, {QMessageBox::No, "&Non"}, {QMessageBox::Help, "&Aide"},
        {QMessageBox::Ok, "OK"}};
    for (const auto &[button, text] : texts) {
        if (QAbstractButton *shown = box.button(button))
            shown->setText(QString::fromUtf8(text));
    }
}

class QtDialogs : public Dialogs
{
public:
    Answer ask(QWidget *parent, const QString &text, int helpContext) override
    {
        return question(parent, text, helpContext, QMessageBox::Yes);
    }

    Answer askDefaultNo(QWidget *parent, const QString &text, int helpContext) override
    {
        return question(parent, text, helpContext, QMessageBox::No);
    }

    Answer askYesNo(QWidget *parent, const QString &text) override
    {
        return question(parent, text, 0, QMessageBox::Yes, QMessageBox::Yes | QMessageBox::No);
    }

    Answer question(QWidget *parent, const QString &text, int helpContext,
                    QMessageBox::StandardButton defaultButton,
                    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No
                                                           | QMessageBox::Help)
    {
        for (;;) {
            QMessageBox box(QMessageBox::Information, ApplicationTitle, text, buttons, parent);
            box.setDefaultButton(defaultButton);
            frenchButtons(box);
            const int pressed = box.exec();
            if (pressed == QMessageBox::Help) {
                help::showTopic(helpContext, parent);
                continue;
            }
            return pressed == QMessageBox::Yes ? Answer::Yes : Answer::No;
        }
    }

    void inform(QWidget *parent, const QString &text, int helpContext, const QString &caption) override
    {
        for (;;) {
            QMessageBox::StandardButtons buttons = QMessageBox::Ok;
            if (helpContext > 0)
                buttons |= QMessageBox::Help;
            QMessageBox box(QMessageBox::Information, caption.isEmpty() ? ApplicationTitle : caption,
                            text, buttons, parent);
            box.setDefaultButton(QMessageBox::Ok);
            frenchButtons(box);
            if (box.exec() == QMessageBox::Help) {
                help::showTopic(helpContext, parent);
                continue;
            }
            return;
        }
    }

    void error(QWidget *parent, const QString &text) override
    {
        QMessageBox box(QMessageBox::Critical, ApplicationTitle, text, QMessageBox::Ok, parent);
        frenchButtons(box);
        box.exec();
    }

    QString openFile(QWidget *parent, const QString &caption, const QString &filter, int helpContext) override
    {
        return runFileDialog(parent, caption, filter, QFileDialog::AcceptOpen, helpContext);
    }

    QString saveFile(QWidget *parent, const QString &caption, const QString &filter, int helpContext) override
    {
        return runFileDialog(parent, caption, filter, QFileDialog::AcceptSave, helpContext);
    }

    QString openFileAt(QWidget *parent, const QString &caption, const QString &filter,
                       const QString &selected, int helpContext) override
    {
        return runFileDialog(parent, caption, filter, QFileDialog::AcceptOpen, helpContext, selected);
    }

    void printPreview(QWidget *parent, const QString &title, const std::function<void(QPrinter &)> &paint) override
    {
        QPrinter printer(QPrinter::HighResolution);
        preparePrinter(printer, title);
        QPrintPreviewDialog preview(&printer, parent);
        preview.setProperty("helpContext", help::PrintingContext);
        preview.setWindowTitle(QStringLiteral("Aperçu avant impression : ") + title);
        preview.resize(900, 700);
        QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                         [&paint](QPrinter *target) { paint(*target); });
        preview.exec();
    }

private:
    // Chooses a file in the dialog, and the first filter that shows it.
    static void selectShown(QFileDialog &dialog, const QString &file)
    {
        const QFileInfo info(file);
        dialog.setDirectory(info.absolutePath());
        for (const QString &nameFilter : dialog.nameFilters()) {
            const QString patterns = nameFilter.section(QLatin1Char('('), -1).section(QLatin1Char(')'), 0, 0);
            if (QDir::match(patterns.split(QLatin1Char(' '), Qt::SkipEmptyParts), info.fileName())) {
                dialog.selectNameFilter(nameFilter);
                break;
            }
        }
        dialog.selectFile(info.fileName());
    }

    static QString runFileDialog(QWidget *parent, const QString &caption, const QString &filter,
                                 QFileDialog::AcceptMode mode, int helpContext,
                                 const QString &selected = QString())
    {
        QFileDialog dialog(parent, caption);
        // Qt's own dialog is a widget of the program, where F1 is ours; a
        // dialog of the system answers F1 itself.
        if (helpContext > 0)
            dialog.setProperty("helpContext", helpContext);
        dialog.setAcceptMode(mode);
        dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                           : QFileDialog::AnyFile);
        // The table files are called "CARTES.DB": patterns ignore letter case.
        dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
        const QString qtFilter = qtFileFilter(filter);
        if (!qtFilter.isEmpty())
            dialog.setNameFilter(qtFilter);
        if (!selected.isEmpty())
            selectShown(dialog, selected);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().constFirst();
    }
};

QtDialogs &qtDialogs()
{
    static QtDialogs instance;
    return instance;
}

Dialogs *g_dialogs = nullptr;
std::function<bool(QWidget *, const AppError &)> g_damageHandler;

// The window a message belongs to: the modal window on top, else the active
// window, else the main window.
QWidget *messageParent()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget *active = QApplication::activeWindow())
        return active;
    return windows().principale;
}

} // namespace

Dialogs &dialogs()
{
    return g_dialogs ? *g_dialogs : qtDialogs();
}

void setDialogs(Dialogs *replacement)
{
    g_dialogs = replacement;
}

void showError(const QString &message)
{
    dialogs().error(messageParent(), message);
}

void showError(const AppError &error)
{
    if (!error.damagedFile().isEmpty() && g_damageHandler && g_damageHandler(messageParent(), error))
        return;
    showError(error.message());
}

void setDamageHandler(std::function<bool(QWidget *, const AppError &)> handler)
{
    g_damageHandler = std::move(handler);
}

QString qtFileFilter(const QString &filter)
{
    if (filter.isEmpty())
        return QString();
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString text = parts.at(i).trimmed();
        QString patterns = i + 1 < parts.size() ? parts.at(i + 1).trimmed() : QString();
        // "*.*" means every file, also those without an extension.
        QStringList list = patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString &pattern : list) {
            pattern = pattern.trimmed();
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        }
        patterns = list.join(QLatin1Char(' '));
        if (text.isEmpty() && patterns.isEmpty())
            continue;
        if (patterns.isEmpty())
            entries.append(text);
        else if (text.isEmpty())
            entries.append(QStringLiteral("(%1)").arg(patterns));
        else if (text.contains(QLatin1Char('(')))
            // Qt reads the patterns between the last parentheses of the text.
            entries.append(text.left(text.lastIndexOf(QLatin1Char('('))).trimmed()
                           + QStringLiteral(" (%1)").arg(patterns));
        else
            entries.append(text + QStringLiteral(" (%1)").arg(patterns));
    }
    return entries.join(QStringLiteral(";;"));
}
