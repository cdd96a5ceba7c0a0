#include "search/tfrm_rechercher.h"

#include "data/dataset_guard.h"
#include "data/session.h"
#include "search/tresultatrecherche.h"
#include "ui/dialogs.h"
#include "ui/windows.h"

#include "ui_frm_rechercher.h"

TFrm_Rechercher::TFrm_Rechercher(Session &session, QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::Frm_Rechercher>())
    , m_query1(&session.database1)
{
    ui->setupUi(this);
    resize(315, 393);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TFrm_Rechercher::BitBtn1Click);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

TFrm_Rechercher::~TFrm_Rechercher() = default;

SearchCriteria TFrm_Rechercher::criteria() const
{
    SearchCriteria c;
    c.francais = ui->Francais->text();
    c.anglais = ui->Anglais->text();
    c.rouge = ui->Rouge->isChecked();
    c.vert = ui->Vert->isChecked();
    c.bleu = ui->Bleu->isChecked();
    c.noir = ui->Noir->isChecked();
    c.blanc = ui->Blanc->isChecked();
    c.incolor = ui->Incolor->isChecked();
    c.cout = ui->Cout->text();
    c.artefact = ui->Artefact->isChecked();
    c.cArtefact = ui->CArtefact->isChecked();
    c.enchantement = ui->Enchantement->isChecked();
    c.ephemere = ui->Ephemere->isChecked();
    c.invocation = ui->Invocation->isChecked();
    c.rituel = ui->Rituel->isChecked();
    c.interruption = ui->Interruption->isChecked();
    c.forceMin = ui->ForceMin->text();
    c.forceMax = ui->Forcemax->text();
    c.enduranceMin = ui->Endurancemin->text();
    c.enduranceMax = ui->Endurancemax->text();
    c.commune = ui->Commune->isChecked();
    c.noncommune = ui->Noncommune->isChecked();
    c.rare = ui->Rare->isChecked();
    c.possede = ui->Possede->isChecked();
    return c;
}

void TFrm_Rechercher::BitBtn1Click()
{
    runCommand([this] {
        m_query1.close();
        m_query1.sql() = searchStatement(criteria());
        // The statement is read in the card table's key order, so the rows
        // found come alphabetically by French name.
        m_query1.open();
        DatasetGuard closeAfterwards(m_query1);
        if (TResultatRecherche *result = windows().resultatRecherche)
            result->showRows(m_query1);
    });
}
