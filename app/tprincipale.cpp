#include "app/tprincipale.h"

#include "analysis/classification.h"
#include "analysis/tanalyse.h"
#include "analysis/tcompletude.h"
#include "analysis/tevaluation.h"
#include "ui/app_title.h"
#include "app/counts_reset.h"
#include "data/backup.h"
#include "ui/backup_guard.h"
#include "ui/dialogs.h"
#include "ui/help.h"
#include "ui/print_action.h"
#include "data/session.h"
#include "ui/taboutbox.h"
#include "app/tchoixedition.h"
#include "app/tmultiples.h"
#include "app/trestauration.h"
#include "ui/tprogression.h"
#include "ui/windows.h"
#include "collection/trecherche_de_cartes.h"
#include "collection/used_cards_report.h"
#include "exchange/techange.h"
#include "exchange/tseuil.h"
#include "exchange/view_exchange.h"
#include "collection/tinventaire.h"
#include "search/tfrm_rechercher.h"
#include "update/timportcsv.h"
#include "update/tmiseajour.h"

#include "ui_principale.h"

#include <QAction>
#include <QFileInfo>
#include <QShowEvent>

namespace {

constexpr int MainWindowColour = 8421440;
// The file dialog of "Génération du fichier de classement" opens the topic
// of its menu item.
constexpr int ClassificationContext = 12;

void nameSeparator(QMenu *menu, const QString &name)
{
    for (QAction *action : menu->actions()) {
        if (action->isSeparator() && action->objectName().isEmpty()) {
            action->setObjectName(name);
            return;
        }
    }
}

} // namespace

TPrincipale::TPrincipale(Session &session, QWidget *parent)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::Principale>())
    , m_session(session)
{
    ui->setupUi(this);
    nameSeparator(ui->Lescartes1, QStringLiteral("N2"));
    nameSeparator(ui->Analyse1, QStringLiteral("N3"));

    QPalette palette = ui->Fond->palette();
    palette.setColor(QPalette::Window, windowsColour(MainWindowColour));
    ui->Fond->setPalette(palette);

    connect(ui->Initialiserlespossesions1, &QAction::triggered, this, &TPrincipale::Initialiserlespossesions1Click);
    connect(ui->Consulter, &QAction::triggered, this, &TPrincipale::ConsulterClick);
    connect(ui->Rechercher, &QAction::triggered, this, &TPrincipale::RechercherClick);
    connect(ui->MisejourImportation1, &QAction::triggered, this, &TPrincipale::MisejourImportation1Click);
    connect(ui->ImporterunfichierCSV1, &QAction::triggered, this, &TPrincipale::ImporterunfichierCSV1Click);
    connect(ui->Selection1, &QAction::triggered, this, &TPrincipale::Selection1Click);
    connect(ui->Restaurerunesauvegarde1, &QAction::triggered, this, &TPrincipale::Restaurerunesauvegarde1Click);
    connect(ui->Quitter1, &QAction::triggered, this, &TPrincipale::Quitter1Click);
    connect(ui->Evaluerlacollection1, &QAction::triggered, this, &TPrincipale::Evaluerlacollection1Click);
    connect(ui->Analyserlacollection1, &QAction::triggered, this, &TPrincipale::Analyserlacollection1Click);
    connect(ui->Compltudepardition1, &QAction::triggered, this, &TPrincipale::Compltudepardition1Click);
    connect(ui->Double1, &QAction::triggered, this, &TPrincipale::Double1Click);
    connect(ui->Triple1, &QAction::triggered, this, &TPrincipale::Triple1Click);
    connect(ui->Quadruple1, &QAction::triggered, this, &TPrincipale::Quadruple1Click);
    connect(ui->Plus1, &QAction::triggered, this, &TPrincipale::Plus1Click);
    connect(ui->Gnrationdufichierdeclassement1, &QAction::triggered, this,
            &TPrincipale::Gnrationdufichierdeclassement1Click);
    connect(ui->Imprimerlefichierdeclassement1, &QAction::triggered, this,
            &TPrincipale::Imprimerlefichierdeclassement1Click);
    connect(ui->Cartesutilises1, &QAction::triggered, this, &TPrincipale::Cartesutilises1Click);
    connect(ui->Initialiserlesechanges1, &QAction::triggered, this, &TPrincipale::Initialiserlesechanges1Click);
    connect(ui->Seuildchange1, &QAction::triggered, this, &TPrincipale::Seuildchange1Click);
    connect(ui->Genererfichierdesechanges1, &QAction::triggered, this, &TPrincipale::Genererfichierdesechanges1Click);
    connect(ui->Visualiserunfichierdchanges1, &QAction::triggered, this,
            &TPrincipale::Visualiserunfichierdchanges1Click);
    connect(ui->Apropos1, &QAction::triggered, this, &TPrincipale::Apropos1Click);
    connect(ui->Aide1, &QAction::triggered, this, &TPrincipale::Aide1Click);
}

TPrincipale::~TPrincipale() = default;

void TPrincipale::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TPrincipale::FormShow()
{
    // Every pass reads the whole table again when the main window appears;
    // the check mark follows the flag so the two can never disagree.
    m_session.clearEditionSelection();
    ui->Selection1->setChecked(false);
}

Progress &TPrincipale::progress()
{
    static NoProgress none;
    if (windows().progression)
        return *windows().progression;
    return none;
}

void TPrincipale::Initialiserlespossesions1Click()
{
    if (dialogs().ask(this, QStringLiteral("Voulez-vous vraiment initialiser la base ?"), 3)
        != Dialogs::Answer::Yes)
        return;
    if (!backupBeforeCommand(this, m_session.cardTablePath(), backup::ResetCounts, 3))
        return;
    runCommand([this] { resetAllCounts(m_session, progress()); });
}

void TPrincipale::ConsulterClick()
{
    if (TRecherche_De_Cartes *entry = windows().rechercheDeCartes)
        entry->exec();
}

void TPrincipale::RechercherClick()
{
    if (TFrm_Rechercher *search = windows().frmRechercher)
        search->exec();
}

void TPrincipale::MisejourImportation1Click()
{
    if (TMiseAJour *update = windows().miseAJour)
        update->exec();
    // The card entry lists are built again from the updated table.
    if (TRecherche_De_Cartes *entry = windows().rechercheDeCartes)
        entry->emptyFrenchList();
}

void TPrincipale::ImporterunfichierCSV1Click()
{
    TImportCsv *import = windows().importCsv;
    if (!import || !import->chooseFile())
        return;
    import->exec();
    // The card entry lists and caption are built again with the new counts.
    if (TRecherche_De_Cartes *entry = windows().rechercheDeCartes)
        entry->emptyFrenchList();
}

void TPrincipale::Selection1Click()
{
    if (!m_session.editionSelected()) {
        TChoixEdition *dialog = windows().choixEdition;
        if (dialog && dialog->exec() == QDialog::Accepted) {
            selectEdition(dialog->chosenEdition());
            return;
        }
    }
    // The card entry lists are rebuilt from the new card source next time.
    if (TRecherche_De_Cartes *entry = windows().rechercheDeCartes)
        entry->emptyFrenchList();
    ui->Selection1->setChecked(false);
    m_session.clearEditionSelection();
}

void TPrincipale::selectEdition(const QString &edition)
{
    if (TRecherche_De_Cartes *entry = windows().rechercheDeCartes)
        entry->emptyFrenchList();
    ui->Selection1->setChecked(true);
    m_session.selectEdition(edition);
}

void TPrincipale::Restaurerunesauvegarde1Click()
{
    if (TRestauration *restauration = windows().restauration)
        restauration->exec();
}

void TPrincipale::Quitter1Click()
{
    close();
}

void TPrincipale::Evaluerlacollection1Click()
{
    if (TEvaluation *evaluation = windows().evaluation)
        evaluation->exec();
}

void TPrincipale::Analyserlacollection1Click()
{
    if (TAnalyse *analyse = windows().analyse)
        analyse->exec();
}

void TPrincipale::Compltudepardition1Click()
{
    if (TCompletude *completude = windows().completude)
        completude->exec();
}

void TPrincipale::Double1Click()
{
    if (TMultiples *multiples = windows().multiples)
        multiples->showMultiples(2, QStringLiteral("Double(s)"));
}

void TPrincipale::Triple1Click()
{
    if (TMultiples *multiples = windows().multiples)
        multiples->showMultiples(3, QStringLiteral("Triple(s)"));
}

void TPrincipale::Quadruple1Click()
{
    if (TMultiples *multiples = windows().multiples)
        multiples->showMultiples(4, QStringLiteral("Quadruple(s)"));
}

void TPrincipale::Plus1Click()
{
    if (TMultiples *multiples = windows().multiples)
        multiples->showMultiples(5, QStringLiteral("Plus"));
}

void TPrincipale::Gnrationdufichierdeclassement1Click()
{
    const QString path = dialogs().saveFile(this, QStringLiteral("Enregistrer sous"),
                                            QStringLiteral("Fichier texte (*.txt)|*.txt"), ClassificationContext);
    if (path.isEmpty())
        return;
    if (runCommand([this, &path] { writeClassificationFile(m_session.query1, path); }))
        m_lastClassificationFile = path;
}

void TPrincipale::Imprimerlefichierdeclassement1Click()
{
    const QString path = dialogs().openFileAt(
        this, QStringLiteral("Imprimer le fichier de classement"),
        QStringLiteral("Fichier texte (*.txt)|*.txt|Tous les fichiers (*.*)|*.*"), m_lastClassificationFile,
        help::PrintingContext);
    if (path.isEmpty())
        return;
    printTextFile(this, QStringLiteral("Fichier de classement – ") + QFileInfo(path).fileName(), path);
}

void TPrincipale::Cartesutilises1Click()
{
    runCommand([this] { showUsedCards(m_session, progress()); });
}

void TPrincipale::Initialiserlesechanges1Click()
{
    if (dialogs().ask(this, QStringLiteral("Voulez-vous vraiment initialiser les échanges ?"), 14)
        != Dialogs::Answer::Yes)
        return;
    if (!backupBeforeCommand(this, m_session.cardTablePath(), backup::ResetExchanges, 14))
        return;
    runCommand([this] { resetExchangeCounts(m_session, progress()); });
}

void TPrincipale::Seuildchange1Click()
{
    if (TSeuil *seuil = windows().seuil)
        seuil->exec();
}

void TPrincipale::Genererfichierdesechanges1Click()
{
    if (TEchange *echange = windows().echange)
        echange->Creation();
}

void TPrincipale::Visualiserunfichierdchanges1Click()
{
    if (TInventaire *inventaire = windows().inventaire)
        exchange::viewExchangeFile(m_session, *inventaire, this);
}

void TPrincipale::Apropos1Click()
{
    if (TAboutBox *about = windows().aboutBox)
        about->exec();
}

void TPrincipale::Aide1Click()
{
    help::showTopic(help::MainWindowContext, this);
}
