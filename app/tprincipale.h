#pragma once

#include <QMainWindow>

#include <memory>

class Session;
class Progress;
class QShowEvent;

namespace Ui {
class Principale;
}

// The main window: its menu opens every other window and runs the commands
// on the whole card table (reset of the counts, edition selection, reset of
// the exchange counts).
class TPrincipale : public QMainWindow
{
    Q_OBJECT

public:
    explicit TPrincipale(Session &session, QWidget *parent = nullptr);
    ~TPrincipale() override;

    Session &session() { return m_session; }

    // Menu commands, named after their items.
    void Initialiserlespossesions1Click();
    void ConsulterClick();
    void RechercherClick();
    void MisejourImportation1Click();
    void ImporterunfichierCSV1Click();
    void Selection1Click();
    void Restaurerunesauvegarde1Click();
    void Quitter1Click();
    void Evaluerlacollection1Click();
    void Analyserlacollection1Click();
    void Compltudepardition1Click();
    void Double1Click();
    void Triple1Click();
    void Quadruple1Click();
    void Plus1Click();
    void Gnrationdufichierdeclassement1Click();
    void Imprimerlefichierdeclassement1Click();
    void Cartesutilises1Click();
    void Initialiserlesechanges1Click();
    void Seuildchange1Click();
    void Genererfichierdesechanges1Click();
    void Visualiserunfichierdchanges1Click();
    void Apropos1Click();
    void Aide1Click();

    // The edition selection on `edition`, whatever was selected before:
    // what "&Selection" does once the edition is chosen.
    void selectEdition(const QString &edition);
    // The classification file last written in this run; empty before.
    QString lastClassificationFile() const { return m_lastClassificationFile; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    Progress &progress();

    std::unique_ptr<Ui::Principale> ui;
    Session &m_session;
    QString m_lastClassificationFile;
};
