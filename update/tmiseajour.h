#pragma once

#include "update/catalogue_update.h"

#include <QDialog>

#include <memory>

class Session;

namespace Ui {
class MiseAJour;
}

// The update window: chooses an update set by its ".maj" file and applies it
// to the card table, showing each step's report.
class TMiseAJour : public QDialog
{
    Q_OBJECT

public:
    explicit TMiseAJour(Session &session, QWidget *parent = nullptr);
    ~TMiseAJour() override;

    // "Nom du fichier": the file dialog; the button shows the chosen path.
    void BitBtn1Click();
    // "&Importer": applies the set; the window closes when it is done.
    void BitBtn2Click();

    // Where the import leaves its empty desktop file (the user's desktop
    // folder by default).
    void setDesktopFile(const QString &path) { m_desktopFile = path; }

private:
    std::unique_ptr<Ui::MiseAJour> ui;
    Session &m_session;
    QString m_fileName; // the file chosen in the dialog
    QString m_desktopFile;
};
