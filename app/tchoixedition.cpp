#include "app/tchoixedition.h"

#include "ui/dialogs.h"
#include "app/editions.h"
#include "data/session.h"

#include "ui_choixedition.h"

#include <QShowEvent>

TChoixEdition::TChoixEdition(Session &session, QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::ChoixEdition>())
    , m_session(session)
{
    ui->setupUi(this);
    setFixedSize(296, 126);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->BitBtn3, &QPushButton::clicked, this, &QDialog::reject);
}

TChoixEdition::~TChoixEdition() = default;

void TChoixEdition::FormShow()
{
    ui->ComboBox1->clear();
    runCommand([this] { ui->ComboBox1->addItems(editionList(m_session)); });
    ui->ComboBox1->setCurrentIndex(ui->ComboBox1->count() > 0 ? 0 : -1);
    // Confirming an empty list would select an edition that has no card.
    ui->BitBtn2->setEnabled(ui->ComboBox1->count() > 0);
    ui->ComboBox1->setFocus();
}

QString TChoixEdition::chosenEdition() const
{
    return ui->ComboBox1->currentText();
}

QComboBox *TChoixEdition::comboBox1() const
{
    return ui->ComboBox1;
}

QPushButton *TChoixEdition::okButton() const
{
    return ui->BitBtn2;
}

QPushButton *TChoixEdition::cancelButton() const
{
    return ui->BitBtn3;
}

void TChoixEdition::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}
