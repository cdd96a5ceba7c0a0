#pragma once

#include <QDialog>
#include <QImage>
#include <QStringList>

#include <memory>
#include <vector>

class Session;

namespace Ui {
class Visualisation;
}

// The picture window: shows the picture (Dessin) of a card of the card
// source, moves through the card source, and stores a JPEG file as the
// picture of the current card. It never inserts or deletes rows: a picture
// viewer is no place to lose catalogue rows.
class TVisualisation : public QDialog
{
    Q_OBJECT

public:
    explicit TVisualisation(Session &session, QWidget *parent = nullptr);
    ~TVisualisation() override;

    // Reads the keys of the card source, stands on the card with this key
    // and shows the window modally.
    void showCard(const QStringList &key);

    // Navigator buttons.
    void First();
    void Prior();
    void Next();
    void Last();
    // Reads the card source's keys again and shows the current card anew.
    void Refresh();
    // "Charger une image…": a JPEG file chosen by the user becomes the
    // picture of the current card.
    void Button1Click();

    QStringList currentKey() const { return m_key; }
    // The picture shown; null when the card has none or it is unreadable.
    QImage picture() const { return m_picture; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void loadKeys();
    void moveTo(qsizetype index);
    void showCurrent();
    void scalePicture();
    void updateButtons();

    std::unique_ptr<Ui::Visualisation> ui;
    Session &m_session;
    std::vector<QStringList> m_keys;
    // Position of m_key in m_keys; -1 when the card is not in the card source.
    qsizetype m_index = -1;
    QStringList m_key;
    QImage m_picture;
};
