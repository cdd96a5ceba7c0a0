#pragma once

#include <QDialog>

#include <memory>

class Session;
class QCheckBox;
class QPushButton;
class QSpinBox;

namespace Ui {
class Seuil;
}

// The exchange threshold dialog: OK runs the threshold pass on the card
// source with the threshold and the "Marquer les recherches" tick, which the
// dialog keeps between uses.
class TSeuil : public QDialog
{
    Q_OBJECT

public:
    explicit TSeuil(Session &session, QWidget *parent = nullptr);
    ~TSeuil() override;

    // OK: the threshold pass with the progress window, then the dialog
    // closes; an error is shown by the standard error box.
    void BitBtn2Click();
    // Cancel: closes, nothing changed.
    void BitBtn3Click();
    // Help: topic 15.
    void BitBtn1Click();

    QSpinBox *spinEdit1() const;
    QCheckBox *marquer() const;
    QPushButton *okButton() const;
    QPushButton *cancelButton() const;
    QPushButton *helpButton() const;

private:
    std::unique_ptr<Ui::Seuil> ui;
    Session &m_session;
};
