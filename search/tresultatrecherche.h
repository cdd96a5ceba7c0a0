#pragma once

#include <QDialog>

#include <memory>

class Dataset;
class QTableView;

namespace Ui {
class ResultatRecherche;
}

// The result grid of the search: the rows of an open query, read-only.
class TResultatRecherche : public QDialog
{
    Q_OBJECT

public:
    explicit TResultatRecherche(QWidget *parent = nullptr);
    ~TResultatRecherche() override;

    // Shows the rows of `rows` (open) modally; the grid lets go of them when
    // the window closes.
    void showRows(Dataset &rows);
    QTableView *dbGrid1() const;

private:
    std::unique_ptr<Ui::ResultatRecherche> ui;
};
