#pragma once

#include "analysis/analysis_matrix.h"

#include <QDialog>
#include <QFont>

#include <memory>

class Session;
class QAction;
class QLabel;
class QMenu;
class QTabBar;
class TGraphiqueAnalyse;

namespace Ui {
class Analyse;
}

// The collection analysis: how complete the collection is, colour by colour
// (tabs), as card types (rows) against rarities (columns). Each showing reads
// the card source once; the tabs and the context menu's "Quantités" redraw
// from the stored counts; a cell opens its cards in the inventory window.
class TAnalyse : public QDialog
{
    Q_OBJECT

public:
    explicit TAnalyse(Session &session, QWidget *parent = nullptr);
    ~TAnalyse() override;

    // The pass over the card source, then the grid of the selected tab.
    // Errors are shown by the standard error box.
    void FormShow();
    // Fills the 32 cells for one colour from the stored counts.
    void TabSet1Change(int newTab);
    void Quantites1Click();
    void Rafraichir1Click();
    void Quitter1Click();
    // The context menu's "Graphique…": owned against missing printings per
    // colour, redrawn after each pass and each change of view while open.
    void Graphique1Click();
    // A click on the cell of `row` and `column`: its cards in the inventory
    // window, then a new pass (silent about unknown codes) so that counts
    // changed there show.
    void LabelClick(int row, int column);

    QLabel *cellLabel(int row, int column) const;
    QTabBar *tabSet1() const;
    QMenu *popupMenu1() const { return m_popupMenu; }
    QAction *quantites1() const { return m_quantites; }
    QAction *rafraichir1() const { return m_rafraichir; }
    QAction *quitter1() const { return m_quitter; }
    QAction *graphique1() const { return m_graphique; }
    TGraphiqueAnalyse *chartWindow() const { return m_chart; }
    const AnalysisMatrix &matrix() const { return m_matrix; }
    bool passRunning() const { return m_passRunning; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The pass; `tellUnknownCodes` asks about each code no axis knows.
    void runPass(bool tellUnknownCodes);
    void updateChart();

    std::unique_ptr<Ui::Analyse> ui;
    Session &m_session;
    QMenu *m_popupMenu = nullptr;
    QAction *m_quantites = nullptr;
    QAction *m_rafraichir = nullptr;
    QAction *m_quitter = nullptr;
    QAction *m_graphique = nullptr;
    TGraphiqueAnalyse *m_chart = nullptr;
    std::array<std::array<QLabel *, analysis::Columns>, analysis::Rows> m_cells{};
    QFont m_cellFont; // the cells' fixed-pitch font at its full size
    AnalysisMatrix m_matrix;
    bool m_passRunning = false;
};
