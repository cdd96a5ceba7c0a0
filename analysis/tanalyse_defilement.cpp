#include "analysis/tanalyse_defilement.h"

#include "ui/centre.h"

#include "ui_analyse_defilement.h"

#include <QCoreApplication>
#include <QProgressBar>

TAnalyse_Defilement::TAnalyse_Defilement(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Analyse_Defilement>())
{
    ui->setupUi(this);
    setFixedSize(198, 56);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowModality(Qt::ApplicationModal);
}

TAnalyse_Defilement::~TAnalyse_Defilement() = default;

QProgressBar *TAnalyse_Defilement::gauge1() const
{
    return ui->Gauge1;
}

void TAnalyse_Defilement::setMaximum(int maximum)
{
    // Below 40 records the maximum is 0, which would make the bar a busy
    // indicator: 1 keeps it an empty bar.
    ui->Gauge1->setMaximum(maximum > 0 ? maximum : 1);
    ui->Gauge1->setValue(0);
}

void TAnalyse_Defilement::show()
{
    centreOnScreen(this);
    QDialog::show();
    QCoreApplication::processEvents();
}

void TAnalyse_Defilement::advance()
{
    if (ui->Gauge1->value() < ui->Gauge1->maximum())
        ui->Gauge1->setValue(ui->Gauge1->value() + 1);
    QCoreApplication::processEvents();
}

void TAnalyse_Defilement::hide()
{
    QDialog::hide();
}
