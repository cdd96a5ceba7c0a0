#pragma once

#include <QString>

class QWidget;

// Makes a backup of the card table before a command that rewrites the whole
// table (`command` is one of the words of data/backup.h). When the copy cannot
// be made the user is asked whether to go on without it, No being the
// default. Returns true when the command may go on. `spared` is a backup the
// pruning must keep (the one about to be restored).
bool backupBeforeCommand(QWidget *parent, const QString &cardTablePath, const QString &command,
                         int helpContext, const QString &spared = QString());
