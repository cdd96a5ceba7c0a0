#pragma once

#include "analysis/valuation.h"

#include <QDialog>

#include <memory>
#include <vector>

class Session;
class QAction;
class QMenu;
class TGraphiqueEvaluation;
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

    // The context menu's "Graphique…": the valuation as a chart, redrawn at
    // each new valuation while it is open.
    void Graphique1Click();
    QMenu *popupMenu1() const { return m_popupMenu; }
    QAction *graphique1() const { return m_graphique; }
    TGraphiqueEvaluation *chartWindow() const { return m_chart; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<Ui::Evaluation> ui;
    Session &m_session;
    std::vector<double> m_prices;
    Valuation m_valuation;
    QMenu *m_popupMenu = nullptr;
    QAction *m_graphique = nullptr;
    TGraphiqueEvaluation *m_chart = nullptr;
};
