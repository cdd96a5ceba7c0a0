#pragma once

#include <QDialog>

#include <memory>

class Session;
class QPushButton;
class QShowEvent;
class QTreeWidget;

namespace Ui {
class Restauration;
}

// "Restaurer une sauvegarde…": the backups of the card table, newest first,
// with their date, time, command and owned copies; the chosen one is put in
// place of the card table after a confirmation and a backup of the table as
// it stands.
class TRestauration : public QDialog
{
    Q_OBJECT

public:
    explicit TRestauration(Session &session, QWidget *parent = nullptr);
    ~TRestauration() override;

    // Lists the backups of the folder beside the card table.
    void FormShow();
    void RestaurerClick();

    QTreeWidget *liste() const;
    QPushButton *restaurer() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<Ui::Restauration> ui;
    Session &m_session;
};
