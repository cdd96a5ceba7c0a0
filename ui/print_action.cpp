#include "ui/print_action.h"

#include "data/error.h"
#include "data/text_file.h"
#include "ui/dialogs.h"
#include "ui/print_pages.h"

#include <QAction>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPrinter>

void printPreview(QWidget *parent, const QString &title, const QStringList &lines)
{
    const PrintedList list{title, QDate::currentDate(), lines};
    dialogs().printPreview(parent, title, [&list](QPrinter &printer) {
        runCommand([&] { printList(printer, list); });
    });
}

void printTextFile(QWidget *parent, const QString &title, const QString &path)
{
    QStringList lines;
    if (runCommand([&] { lines = readLinesFile(path); }))
        printPreview(parent, title, lines);
}

QAction *newPrintAction(QWidget *owner, std::function<QStringList()> lines, std::function<QString()> title)
{
    auto *action = new QAction(QStringLiteral("Imprimer…"), owner);
    action->setObjectName(QStringLiteral("Imprimer"));
    QObject::connect(action, &QAction::triggered, owner,
                     [owner, lines = std::move(lines), title = std::move(title)] {
                         QStringList built;
                         QString caption;
                         if (!runCommand([&] {
                                 built = lines();
                                 caption = title ? title() : owner->window()->windowTitle();
                             }))
                             return;
                         printPreview(owner->window(), caption, built);
                     });
    return action;
}

QAction *addPrintAction(QWidget *view, std::function<QStringList()> lines, std::function<QString()> title)
{
    QAction *action = newPrintAction(view, std::move(lines), std::move(title));
    if (view->contextMenuPolicy() == Qt::DefaultContextMenu)
        view->setContextMenuPolicy(Qt::ActionsContextMenu);
    view->addAction(action);
    return action;
}

QStringList listLines(const QListWidget *list)
{
    QStringList lines;
    lines.reserve(list->count());
    for (int row = 0; row < list->count(); ++row)
        lines << list->item(row)->text();
    return lines;
}
