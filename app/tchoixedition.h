#pragma once

#include <QDialog>
#include <QString>

#include <memory>

class Session;
class QComboBox;
class QPushButton;
class QShowEvent;

namespace Ui {
class ChoixEdition;
}

// The edition dialog of the edition selection: a list of the card table's
// editions, rebuilt each time the dialog is shown.
class TChoixEdition : public QDialog
{
    Q_OBJECT

public:
    explicit TChoixEdition(Session &session, QWidget *parent = nullptr);
    ~TChoixEdition() override;

    // Fills the list from the card table and selects its first entry.
    void FormShow();
    QString chosenEdition() const;

    QComboBox *comboBox1() const;
    QPushButton *okButton() const;
    QPushButton *cancelButton() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<Ui::ChoixEdition> ui;
    Session &m_session;
};
