#pragma once

#include <QDialog>

#include <memory>

class QProgressBar;
class QPushButton;

namespace Ui {
class AboutBox;
}

// The about box, also the splash of the start-up: its gauge "Progression"
// and its OK button share one place below the panel.
class TAboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutBox(QWidget *parent = nullptr);
    ~TAboutBox() override;

    QProgressBar *progression() const;
    QPushButton *okButton() const;

    // Splash mode: the gauge instead of the OK button.
    void showAsSplash();
    void endSplash();

private:
    std::unique_ptr<Ui::AboutBox> ui;
};
