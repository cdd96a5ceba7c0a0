#pragma once

#include <QDialog>

#include <memory>

class Session;
class QAction;
class QListWidget;
class QMenu;
class QShowEvent;

namespace Ui {
class Multiples;
}

// The multiples lists: cards owned in exactly two, three or four copies, or in five
// and more; a double-click shows the card, the pop-up menu saves the list.
class TMultiples : public QDialog
{
    Q_OBJECT

public:
    explicit TMultiples(Session &session, QWidget *parent = nullptr);
    ~TMultiples() override;

    // 2 to 4: exactly that many copies; 5: five and more.
    quint8 Multiplicite = 2;

    // Sets the caption and the multiplicity, then shows the window modally.
    void showMultiples(int multiplicite, const QString &caption);
    // Fills the list from the card source.
    void FormShow();
    QListWidget *listBox1() const;
    // The pop-up menu's item "Imprimer".
    QAction *imprimer1() const;
    // Saves the list to a text file chosen by the user.
    void Imprimer();
    // Shows the selected card in the card search window.
    void ListBox1DblClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<Ui::Multiples> ui;
    Session &m_session;
    QMenu *m_popupMenu = nullptr;
};
