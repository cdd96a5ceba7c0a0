#pragma once

#include <QDialog>

#include <memory>
#include <vector>

class Session;
class QLabel;
class QListWidget;
class QShowEvent;

namespace Ui {
class Evaluation;
}

// The valuation window: the estimated value of the owned copies and their
// price classes, dearest first; a double-click lists the cards of a class in
// the inventory window.
class TEvaluation : public QDialog
{
    Q_OBJECT

public:
    explicit TEvaluation(Session &session, QWidget *parent = nullptr);
    ~TEvaluation() override;

    // Computes the valuation of the card source and fills the window.
    void FormShow();
    // Opens the inventory window on the selected class's exact price.
    void ListBox1DblClick();

    QLabel *label1() const;
    QListWidget *listBox1() const;
    // Exact price of each line of the list, in list order.
    const std::vector<double> &linePrices() const { return m_prices; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<Ui::Evaluation> ui;
    Session &m_session;
    std::vector<double> m_prices;
    std::vector<quint64> m_quantities; // owned copies of each line's class
};
