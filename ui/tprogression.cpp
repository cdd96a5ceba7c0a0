#include "ui/tprogression.h"

#include "ui/centre.h"

#include "ui_progression.h"

#include <QApplication>
#include <QProgressBar>
#include <QShowEvent>
#include <QHideEvent>

TProgression::TProgression(QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::Progression>())
{
    ui->setupUi(this);
    setFixedSize(222, 30);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    // Shown without waiting, yet holding input to the other windows: a
    // command started in the middle of a pass would reopen the table under
    // it and leave the pass half done.
    setWindowModality(Qt::ApplicationModal);
}

TProgression::~TProgression()
{
    FormHide();
}

void TProgression::AvanceGauge()
{
    ++Compteur;
    const quint32 step = quint32(ui->Gauge1->maximum()) / 100;
    if (step == Compteur) {
        ui->Gauge1->setValue(ui->Gauge1->value() + int(step));
        QCoreApplication::processEvents();
        Compteur = 0;
    }
}

QProgressBar *TProgression::gauge() const
{
    return ui->Gauge1;
}

void TProgression::setMaximum(int maximum)
{
    // A maximum of 0 would turn the bar into a busy indicator; with 1 the
    // step is 0 all the same and the bar stays at 0 %.
    ui->Gauge1->setMaximum(maximum > 0 ? maximum : 1);
}

void TProgression::show()
{
    centreOnScreen(this);
    QDialog::show();
    // Paint it once now: a pass under a hundred rows never repaints.
    QCoreApplication::processEvents();
}

void TProgression::hide()
{
    QDialog::hide();
}

void TProgression::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // A window brought back from the task bar goes on where it was.
    if (!event->spontaneous())
        FormShow();
}

void TProgression::hideEvent(QHideEvent *event)
{
    if (!event->spontaneous())
        FormHide();
    QDialog::hideEvent(event);
}

void TProgression::FormShow()
{
    ui->Gauge1->setValue(0);
    Compteur = 0;
    if (!m_cursorSet) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_cursorSet = true;
    }
}

void TProgression::FormHide()
{
    if (m_cursorSet) {
        QApplication::restoreOverrideCursor();
        m_cursorSet = false;
    }
}
