#pragma once

#include <QDialog>

#include <memory>

class AppError;
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

    // Called for an error that found a table file damaged. When the file is
    // the card table, the first such error of the run asks whether to
    // restore a backup now, and shows this window on Yes; later ones name
    // the menu item in the error box. False for any other file, and while
    // this window is showing (its own errors are shown as they are).
    bool offerAfterDamage(QWidget *parent, const AppError &error);

    QTreeWidget *liste() const;
    QPushButton *restaurer() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<Ui::Restauration> ui;
    Session &m_session;
    bool m_offered = false;
};
