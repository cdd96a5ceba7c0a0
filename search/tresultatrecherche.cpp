#include "search/tresultatrecherche.h"

#include "search/result_model.h"
#include "ui/dialogs.h"
#include "ui/export_action.h"
#include "ui/page_layout.h"
#include "ui/print_action.h"

#include "ui_resultatrecherche.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QPushButton>

TResultatRecherche::TResultatRecherche(QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::ResultatRecherche>())
{
    ui->setupUi(this);
    resize(544, 375);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // Rows of one height, so the grid never measures rows it has not read.
    ui->DBGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ui->DBGrid1->verticalHeader()->setDefaultSectionSize(ui->DBGrid1->fontMetrics().height() + 6);
    ui->DBGrid1->verticalHeader()->hide();
    connect(ui->BitBtn1, &QPushButton::clicked, this, &QDialog::close);

    // "Exporter…" from the grid's context menu and from a button at the left
    // of the panel.
    const auto rows = [this] {
        auto *model = qobject_cast<SearchResultModel *>(ui->DBGrid1->model());
        return model ? model->exportRows() : csv::Rows();
    };
    QAction *exporter = addExportAction(ui->DBGrid1, rows);
    addPrintAction(ui->DBGrid1, [rows] { return alignedColumns(rows()); });
    auto *button = new QPushButton(exporter->text(), ui->Panel1);
    button->setObjectName(QStringLiteral("Exporter"));
    // As tall as "&Fermer" beside it, so the two stand on one line.
    button->setMinimumHeight(ui->BitBtn1->minimumHeight());
    // Enter in the grid must not start an export: like "&Fermer", the
    // button is never the dialog's default.
    button->setAutoDefault(false);
    if (auto *panel = qobject_cast<QBoxLayout *>(ui->Panel1->layout()))
        panel->insertWidget(0, button);
    connect(button, &QPushButton::clicked, exporter, &QAction::trigger);
}

TResultatRecherche::~TResultatRecherche() = default;

QTableView *TResultatRecherche::dbGrid1() const
{
    return ui->DBGrid1;
}

void TResultatRecherche::showRows(Dataset &rows)
{
    SearchResultModel model(rows);
    // Shown from the event loop: the grid reads rows from its layout and
    // scrolling, where a modal box must not open.
    connect(
        &model, &SearchResultModel::readFailed, this, [](const QString &message) { showError(message); },
        Qt::QueuedConnection);
    model.fetchMore();
    ui->DBGrid1->setModel(&model);
    // Columns as wide as the first rows read need.
    ui->DBGrid1->resizeColumnsToContents();
    ui->DBGrid1->scrollToTop();
    exec();
    ui->DBGrid1->setModel(nullptr);
}
