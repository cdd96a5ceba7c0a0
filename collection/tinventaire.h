#pragma once

#include <QDialog>
#include <QString>

#include <memory>

class Session;
class QLabel;
class QListWidget;

namespace Ui {
class Inventaire;
}

// The inventory window: the printings of one colour, type and rarity (or of
// one price) split into owned and missing, the owned ones also written to
// FICHIER.TXT in the current directory. Callers set the public parameters
// and show it modally.
class TInventaire : public QDialog
{
    Q_OBJECT

public:
    explicit TInventaire(Session &session, QWidget *parent = nullptr);
    ~TInventaire() override;

    quint8 CouleurChoisie = 0;
    QString TypeChoisi;
    QString RareteChoisie;
    bool ModeCote = false;
    double CoteChoisie = 0;
    // Set by a caller that filled both lists itself: FormShow leaves them.
    bool ListesFournies = false;
    // Set with ListesFournies by a caller whose left lines carry no count:
    // a double-click there takes the whole line as the card, as on the right.
    bool LignesGaucheEntieres = false;

    // Fills both lists and FICHIER.TXT (unless ListesFournies); errors are
    // shown by the standard error box.
    void FormShow();
    // Open the selected card in the card entry window, then fill again.
    void ListBox1DblClick();
    void ListBox2DblClick();

    QListWidget *listBox1() const;
    QListWidget *listBox2() const;
    QLabel *label1() const;
    QLabel *label2() const;

    // Where FICHIER.TXT is written: the current directory.
    static QString fichierPath();

    // Closing, however it happens, clears ModeCote, ListesFournies and
    // LignesGaucheEntieres.
    void done(int result) override;

signals:
    // The card entry window opened from a line has closed: the card's counts
    // may have changed. A caller that gave the lists refreshes what it shows
    // from them.
    void cardEntryClosed();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void openCard(const QString &cardLine);

    std::unique_ptr<Ui::Inventaire> ui;
    Session &m_session;
};
