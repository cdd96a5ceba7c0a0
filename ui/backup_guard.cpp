#include "ui/backup_guard.h"

#include "data/backup.h"
#include "data/error.h"
#include "ui/dialogs.h"

bool backupBeforeCommand(QWidget *parent, const QString &cardTablePath, const QString &command,
                         int helpContext, const QString &spared)
{
    try {
        backup::makeBackup(cardTablePath, command, QDateTime::currentDateTime(), spared);
        return true;
    } catch (const AppError &e) {
        const QString question = QStringLiteral("La sauvegarde de la table des cartes n'a pas pu être faite :\n")
                                 + e.message()
                                 + QStringLiteral("\n\nVoulez-vous continuer sans sauvegarde ?");
        return dialogs().askDefaultNo(parent, question, helpContext) == Dialogs::Answer::Yes;
    }
}
