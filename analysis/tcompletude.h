#pragma once

#include <QDialog>

#include <memory>

class CompletionModel;
class Session;
class QAction;
class QTableView;
class TGraphiqueCompletude;

namespace Ui {
class Completude;
}

// Completion by edition: for each edition of the card table, the printings
// owned out of those in the catalogue, the copies and their value, and what
// the printings not owned would cost. Each showing reads the whole table
// once; a click on a column title sorts the rows (the order is kept for the
// next showing); a double-click on an edition selects it and opens the
// analysis on it.
class TCompletude : public QDialog
{
    Q_OBJECT

public:
    explicit TCompletude(Session &session, QWidget *parent = nullptr);
    ~TCompletude() override;

    // Counts the card table again and fills the grid.
    void FormShow();
    // The edition of `row` becomes the edition selection, then the analysis
    // window opens on it; the figures are counted again when it closes.
    void GrilleDblClick(int row);
    // The context menu's "Graphique…": percent complete per edition, in the
    // order of the grid.
    void Graphique1Click();

    QTableView *grille() const;
    CompletionModel *model() const { return m_model; }
    QAction *graphique1() const { return m_graphique; }
    TGraphiqueCompletude *chartWindow() const { return m_chart; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void updateChart();

    std::unique_ptr<Ui::Completude> ui;
    Session &m_session;
    CompletionModel *m_model = nullptr;
    QAction *m_graphique = nullptr;
    TGraphiqueCompletude *m_chart = nullptr;
    bool m_sized = false;
};
