#include "update/trapportcsv.h"

#include "ui/export_action.h"
#include "ui/print_action.h"

#include "ui_rapportcsv.h"

#include <QAction>

TRapportCsv::TRapportCsv(QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::RapportCsv>())
{
    ui->setupUi(this);
    // Wide enough for a line and its reason.
    resize(720, 360);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &QDialog::close);
    connect(ui->Exporter, &QPushButton::clicked, this, &TRapportCsv::ExporterClick);
    m_exportAction = addExportAction(ui->ListBox1, [this] { return m_skipped; });
    addPrintAction(ui->ListBox1, [this] { return listLines(ui->ListBox1); });
}

TRapportCsv::~TRapportCsv() = default;

void TRapportCsv::setReport(const QStringList &lines, const csv::Rows &skipped)
{
    ui->ListBox1->clear();
    ui->ListBox1->addItems(lines);
    ui->ListBox1->scrollToTop();
    m_skipped = skipped;
    // Nothing to correct when every line was applied.
    ui->Exporter->setEnabled(skipped.size() > 1);
    m_exportAction->setEnabled(skipped.size() > 1);
}

QListWidget *TRapportCsv::listBox1() const
{
    return ui->ListBox1;
}

void TRapportCsv::ExporterClick()
{
    exportToCsv(this, m_skipped);
}
