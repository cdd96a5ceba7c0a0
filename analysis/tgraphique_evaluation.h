#pragma once

#include "analysis/tgraphique.h"

struct Valuation;

// The valuation as a chart: one horizontal bar per price class, dearest at
// the top, its length the value of the class's copies in francs.
class TGraphiqueEvaluation : public TGraphique
{
    Q_OBJECT

public:
    explicit TGraphiqueEvaluation(QWidget *parent = nullptr);

    // Redraws from the valuation window's own result; `editionSelected`
    // says in the title that only one edition is counted.
    void setValuation(const Valuation &valuation, bool editionSelected);
};
