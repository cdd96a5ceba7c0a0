#include "ui/export_action.h"

#include "ui/dialogs.h"
#include "ui/help.h"

#include <QAction>
#include <QFileInfo>
#include <QWidget>

void exportToCsv(QWidget *parent, const csv::Rows &rows)
{
    QString path = dialogs().saveFile(parent, QStringLiteral("Exporter"),
                                      QStringLiteral("Fichier CSV (*.csv)|*.csv"), help::ExportContext);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    runCommand([&] { csv::writeFile(path, rows); });
}

QAction *addExportAction(QWidget *view, std::function<csv::Rows()> rows)
{
    auto *action = new QAction(QStringLiteral("Exporter…"), view);
    action->setObjectName(QStringLiteral("Exporter"));
    if (view->contextMenuPolicy() == Qt::DefaultContextMenu)
        view->setContextMenuPolicy(Qt::ActionsContextMenu);
    view->addAction(action);
    QObject::connect(action, &QAction::triggered, view, [view, rows = std::move(rows)] {
        csv::Rows built;
        if (runCommand([&] { built = rows(); }))
            exportToCsv(view->window(), built);
    });
    return action;
}
