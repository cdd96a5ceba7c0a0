#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <memory>

class Session;
class QSpinBox;
class NameListModel;
struct CardDetails;

namespace Ui {
class Recherche_De_Cartes;
}

// The card entry window: picks a printing by its French or English line,
// shows its codes and counts and writes the four counts and the price back.
class TRecherche_De_Cartes : public QDialog
{
    Q_OBJECT

public:
    explicit TRecherche_De_Cartes(Session &session, QWidget *parent = nullptr);
    ~TRecherche_De_Cartes() override;

    // Fills the lists when the French list is empty, else focuses it.
    // Errors are shown by the standard error box.
    void FormShow();
    // Fills both name lists from the card source and sets the caption;
    // drives the about box gauge while the about box is on screen, the
    // progress window otherwise. Throws AppError.
    void Prepare_Listes();
    // Looks up the French (ComboBox1) or English (ComboBox2) line typed.
    void ComboBox1Exit();
    void ComboBox2Exit();
    // Writes the counts and the price of the card shown.
    void ValiderClick();
    // Empties the French list (the catalogue or the edition selection
    // changed): the next FormShow rebuilds both lists.
    void emptyFrenchList();
    // Sets the French line, looks it up and shows the window modally.
    void showCard(const QString &frenchLine);
    // Opens the picture window on the card shown.
    void BitBtn1Click();

    // The lines of the two lists, in their order.
    QStringList frenchLines() const;
    QStringList englishLines() const;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showDetails(const CardDetails &card);
    void showRarity(const QString &rarete);
    void showColour(const QString &couleur);
    void showCount(QSpinBox *spin, qint64 count);
    int countOf(QSpinBox *spin) const;

    static constexpr int CountLimit = 99;

    std::unique_ptr<Ui::Recherche_De_Cartes> ui;
    Session &m_session;
    NameListModel *m_frenchModel;
    NameListModel *m_englishModel;
    QStringList m_shownKey;
};
