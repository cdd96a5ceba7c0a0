#pragma once

#include "data/progress.h"

#include <QDialog>

#include <memory>

class QProgressBar;

namespace Ui {
class Analyse_Defilement;
}

// The gauge shown while the analysis reads the card source. It has no
// behaviour of its own: the pass sets its maximum (records / 40) and moves
// it once every 40 records. While it is shown it holds the input of the
// other windows, so nothing can start a second pass or close the analysis.
class TAnalyse_Defilement : public QDialog, public Progress
{
    Q_OBJECT

public:
    explicit TAnalyse_Defilement(QWidget *parent = nullptr);
    ~TAnalyse_Defilement() override;

    QProgressBar *gauge1() const;

    // Progress
    void setMaximum(int maximum) override;
    void show() override;
    // One step of 40 records: the gauge moves and the windows repaint.
    void advance() override;
    void hide() override;

private:
    std::unique_ptr<Ui::Analyse_Defilement> ui;
};
