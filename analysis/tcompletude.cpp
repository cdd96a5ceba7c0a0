#include "analysis/tcompletude.h"

#include "analysis/completion_model.h"
#include "analysis/tanalyse.h"
#include "analysis/tgraphique_completude.h"
#include "data/session.h"
#include "ui/dialogs.h"
#include "ui/export_action.h"
#include "ui/page_layout.h"
#include "ui/print_action.h"
#include "ui/windows.h"
#include "ui_completude.h"

#include <QAction>
#include <QHeaderView>
#include <QScrollBar>
#include <QShowEvent>
#include <QTableView>

#include <algorithm>

TCompletude::TCompletude(Session &session, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Completude>()), m_session(session)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(true);

    m_model = new CompletionModel(this);
    QTableView *grid = ui->Grille;
    grid->setModel(m_model);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->horizontalHeader()->setSortIndicator(m_model->sortColumn(), m_model->sortOrder());
    connect(ui->BitBtn1, &QPushButton::clicked, this, &QDialog::close);
    connect(grid, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex &index) { GrilleDblClick(index.row()); });

    addExportAction(grid, [this] { return completionCsvRows(m_model->rows(), m_model->total()); });
    addPrintAction(grid,
                   [this] { return alignedColumns(completionTextRows(m_model->rows(), m_model->total())); });
    m_graphique = new QAction(QStringLiteral("Graphique…"), this);
    m_graphique->setObjectName(QStringLiteral("Graphique1"));
    connect(m_graphique, &QAction::triggered, this, &TCompletude::Graphique1Click);
    grid->addAction(m_graphique);
    // The chart belongs to this window: it goes when the window closes.
    connect(m_model, &QAbstractItemModel::modelReset, this, &TCompletude::updateChart);
    connect(this, &QDialog::finished, this, [this] {
        if (m_chart)
            m_chart->close();
    });
}

TCompletude::~TCompletude() = default;

QTableView *TCompletude::grille() const
{
    return ui->Grille;
}

void TCompletude::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TCompletude::FormShow()
{
    runCommand([this] {
        m_model->setCompletion(completionByEdition(m_session.table));
        ui->Grille->resizeColumnsToContents();
        // The first time, wide enough for every column; then as the user
        // left it.
        if (!m_sized) {
            m_sized = true;
            QTableView *grid = ui->Grille;
            const QAbstractItemView *view = grid;
            int wanted = 2 * grid->frameWidth() + grid->verticalScrollBar()->sizeHint().width();
            for (int c = 0; c < m_model->columnCount(); ++c)
                wanted += std::max(view->sizeHintForColumn(c), grid->horizontalHeader()->sectionSizeHint(c));
            resize(std::max(width(), wanted), height());
        }
    });
}

void TCompletude::GrilleDblClick(int row)
{
    // The total row is no edition.
    if (row < 0 || std::size_t(row) >= m_model->rows().size() || !windows().selectEdition)
        return;
    const QString edition = m_model->editionAt(row);
    windows().selectEdition(edition);
    if (TAnalyse *analyse = windows().analyse)
        analyse->exec();
    // Counts may have changed in the windows opened from the analysis; the
    // edition the user came from stays selected.
    FormShow();
    for (int r = 0; r < m_model->rowCount() - 1; ++r) {
        if (m_model->editionAt(r) == edition) {
            ui->Grille->selectRow(r);
            break;
        }
    }
}

void TCompletude::Graphique1Click()
{
    if (!m_chart)
        m_chart = new TGraphiqueCompletude(this);
    m_chart->setRows(m_model->rows(), m_model->total());
    m_chart->show();
    m_chart->raise();
}

void TCompletude::updateChart()
{
    if (m_chart && m_chart->isVisible())
        m_chart->setRows(m_model->rows(), m_model->total());
}
