#include "app/trestauration.h"

#include "collection/trecherche_de_cartes.h"
#include "data/backup.h"
#include "data/error.h"
#include "data/session.h"
#include "data/table_info.h"
#include "ui/backup_guard.h"
#include "ui/dialogs.h"
#include "ui/help.h"
#include "ui/windows.h"

#include "ui_restauration.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QShowEvent>

namespace {
constexpr int RestaurationHelpContext = help::BackupsContext;
constexpr int PathRole = Qt::UserRole;
}

TRestauration::TRestauration(Session &session, QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::Restauration>())
    , m_session(session)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui->Liste->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // The counts stand at the right of the last column, and so does its title.
    ui->Liste->headerItem()->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
    connect(ui->Restaurer, &QPushButton::clicked, this, &TRestauration::RestaurerClick);
    connect(ui->Fermer, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->Liste, &QTreeWidget::itemDoubleClicked, this, &TRestauration::RestaurerClick);
}

TRestauration::~TRestauration() = default;

void TRestauration::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TRestauration::FormShow()
{
    ui->Liste->clear();
    // Each backup is checked and counted: a few hundredths of a second each
    // on a large catalogue.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QList<backup::BackupFile> files =
        backup::listBackups(backup::folderFor(m_session.cardTablePath()));
    for (const backup::BackupFile &file : files) {
        QString copies;
        try {
            copies = QString::number(backup::ownedCopiesIn(file.path));
        } catch (const AppError &) {
            copies = QStringLiteral("illisible");
        }
        auto *item = new QTreeWidgetItem(ui->Liste, {file.time.toString(QStringLiteral("dd/MM/yyyy")),
                                                     file.time.toString(QStringLiteral("HH'h'mm")),
                                                     backup::commandLabel(file.command), copies});
        item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
        item->setData(0, PathRole, file.path);
    }
    QApplication::restoreOverrideCursor();
    if (ui->Liste->topLevelItemCount() > 0)
        ui->Liste->setCurrentItem(ui->Liste->topLevelItem(0));
    ui->Restaurer->setEnabled(ui->Liste->topLevelItemCount() > 0);
}

void TRestauration::RestaurerClick()
{
    QTreeWidgetItem *item = ui->Liste->currentItem();
    if (!item)
        return;
    const QString path = item->data(0, PathRole).toString();
    const QString question = QStringLiteral("Voulez-vous vraiment remplacer la table des cartes par la sauvegarde "
                                            "du %1 à %2 (%3) ?")
                                 .arg(item->text(0), item->text(1), item->text(2));
    if (dialogs().askDefaultNo(this, question, RestaurationHelpContext) != Dialogs::Answer::Yes)
        return;

    bool restored = false;
    runCommand([&] {
        // A bad file is refused before anything else is done.
        backup::ownedCopiesIn(path);
        if (!backupBeforeCommand(this, m_session.cardTablePath(), backup::Restore, RestaurationHelpContext, path))
            return;
        // Nothing of the program may hold the table while it is replaced.
        m_session.table.close();
        m_session.query1.close();
        m_session.query2.close();
        backup::restoreBackup(path, m_session.cardTablePath());
        restored = true;
        Dataset &source = m_session.cardSource();
        source.open();
        source.close();
    });
    if (restored) {
        // The card entry lists are built again from the restored table.
        if (TRecherche_De_Cartes *entry = windows().rechercheDeCartes)
            entry->emptyFrenchList();
        dialogs().inform(this, QStringLiteral("La sauvegarde a été restaurée."));
    }
    FormShow();
}

bool TRestauration::offerAfterDamage(QWidget *parent, const AppError &error)
{
    if (isVisible())
        return false;
    const QString cardTable = m_session.cardTablePath();
    try {
        if (QFileInfo(error.damagedFile()).canonicalFilePath()
            != QFileInfo(findTableFile(cardTable)).canonicalFilePath())
            return false;
    } catch (const AppError &) {
        return false;
    }
    const QString folder = backup::folderFor(cardTable);
    if (backup::listBackups(folder).isEmpty()) {
        dialogs().error(parent, error.message()
                                    + QStringLiteral("\n\nLa table des cartes est endommagée et aucune de ses "
                                                     "sauvegardes n'a été trouvée dans le dossier %1.")
                                          .arg(QDir::toNativeSeparators(folder)));
        return true;
    }
    if (m_offered) {
        dialogs().error(parent, error.message()
                                    + QStringLiteral("\n\nRemplacez la table des cartes par une de ses "
                                                     "sauvegardes : « Les cartes », « Restaurer une "
                                                     "sauvegarde… »."));
        return true;
    }
    m_offered = true;
    const QString question = error.message()
        + QStringLiteral("\n\nLa table des cartes est endommagée. Voulez-vous la remplacer maintenant par une de "
                         "ses sauvegardes (« Les cartes », « Restaurer une sauvegarde… ») ?");
    if (dialogs().ask(parent, question, RestaurationHelpContext) == Dialogs::Answer::Yes)
        exec();
    return true;
}

QTreeWidget *TRestauration::liste() const
{
    return ui->Liste;
}

QPushButton *TRestauration::restaurer() const
{
    return ui->Restaurer;
}
