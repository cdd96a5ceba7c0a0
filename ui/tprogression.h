#pragma once

#include "data/progress.h"

#include <QDialog>

#include <memory>

class QProgressBar;

namespace Ui {
class Progression;
}

// The progress window of the long passes over the card table: shown without
// waiting, advanced once per row, repainted only every hundredth of the
// work; the hourglass cursor stays while it is shown.
class TProgression : public QDialog, public Progress
{
    Q_OBJECT

public:
    explicit TProgression(QWidget *parent = nullptr);
    ~TProgression() override;

    // One row done: the gauge moves by a hundredth of its maximum every
    // (maximum / 100) calls, and only then is the window repainted.
    void AvanceGauge();

    QProgressBar *gauge() const;
    quint32 compteur() const { return Compteur; }

    // Progress
    void setMaximum(int maximum) override;
    void show() override;
    void advance() override { AvanceGauge(); }
    void hide() override;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void FormShow();
    void FormHide();

    std::unique_ptr<Ui::Progression> ui;
    // Calls since the gauge last moved; 32 bits so that any table size gets
    // its steps (a step is maximum / 100 calls).
    quint32 Compteur = 0;
    bool m_cursorSet = false;
};
