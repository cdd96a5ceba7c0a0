#pragma once

#include "data/query.h"
#include "search/search_criteria.h"

#include <QDialog>

#include <memory>

class Session;

namespace Ui {
class Frm_Rechercher;
}

// The search window: up to eleven criteria turned into one statement on the
// card table; the rows found are shown in the result grid. The criteria
// stay in place between searches.
class TFrm_Rechercher : public QDialog
{
    Q_OBJECT

public:
    explicit TFrm_Rechercher(Session &session, QWidget *parent = nullptr);
    ~TFrm_Rechercher() override;

    // The criteria as the controls hold them.
    SearchCriteria criteria() const;
    // "Lancer la recherche": builds and runs the statement and shows the
    // rows found; an error is shown by the standard error box.
    void BitBtn1Click();

    // The search query; open only while the result grid is shown.
    Query &query1() { return m_query1; }

private:
    std::unique_ptr<Ui::Frm_Rechercher> ui;
    Query m_query1;
};
