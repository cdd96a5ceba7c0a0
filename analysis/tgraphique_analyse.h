#pragma once

#include "analysis/tgraphique.h"

struct AnalysisMatrix;

// The analysis as a chart: for each colour, a bar of what is owned beside a
// bar of the printings still missing, in the terms of the analysis window's
// current view (printings owned, or copies with "Quantités").
class TGraphiqueAnalyse : public TGraphique
{
    Q_OBJECT

public:
    explicit TGraphiqueAnalyse(QWidget *parent = nullptr);

    // Redraws from the analysis window's own counts.
    void setMatrix(const AnalysisMatrix &matrix, bool quantities, bool editionSelected);
};
