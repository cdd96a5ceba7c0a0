#include "exchange/tseuil.h"

#include "data/progress.h"
#include "data/session.h"
#include "exchange/threshold.h"
#include "ui/dialogs.h"
#include "ui/help.h"
#include "ui/tprogression.h"
#include "ui/windows.h"

#include "ui_seuil.h"

namespace {
constexpr int SeuilHelpContext = 15;
}

TSeuil::TSeuil(Session &session, QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::Seuil>())
    , m_session(session)
{
    ui->setupUi(this);
    setFixedSize(284, 131);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &TSeuil::BitBtn2Click);
    connect(ui->BitBtn3, &QPushButton::clicked, this, &TSeuil::BitBtn3Click);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TSeuil::BitBtn1Click);
}

TSeuil::~TSeuil() = default;

void TSeuil::BitBtn2Click()
{
    static NoProgress none;
    Progress &progress = windows().progression ? static_cast<Progress &>(*windows().progression)
                                               : static_cast<Progress &>(none);
    const int seuil = ui->SpinEdit1->value();
    const bool marquer = ui->Marquer->isChecked();
    runCommand([&] { threshold::runOnCardSource(m_session, seuil, marquer, progress); });
    accept();
}

void TSeuil::BitBtn3Click()
{
    reject();
}

void TSeuil::BitBtn1Click()
{
    help::showTopic(SeuilHelpContext, this);
}

QSpinBox *TSeuil::spinEdit1() const
{
    return ui->SpinEdit1;
}

QCheckBox *TSeuil::marquer() const
{
    return ui->Marquer;
}

QPushButton *TSeuil::okButton() const
{
    return ui->BitBtn2;
}

QPushButton *TSeuil::cancelButton() const
{
    return ui->BitBtn3;
}

QPushButton *TSeuil::helpButton() const
{
    return ui->BitBtn1;
}
