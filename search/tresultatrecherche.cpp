#include "search/tresultatrecherche.h"

#include "search/result_model.h"

#include "ui_resultatrecherche.h"

#include <QHeaderView>

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
}

TResultatRecherche::~TResultatRecherche() = default;

QTableView *TResultatRecherche::dbGrid1() const
{
    return ui->DBGrid1;
}

void TResultatRecherche::showRows(Dataset &rows)
{
    SearchResultModel model(rows);
    ui->DBGrid1->setModel(&model);
    // Columns as wide as the first rows read need.
    ui->DBGrid1->resizeColumnsToContents();
    ui->DBGrid1->scrollToTop();
    exec();
    ui->DBGrid1->setModel(nullptr);
}
