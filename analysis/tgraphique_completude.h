#pragma once

#include "analysis/tgraphique.h"

#include <vector>

struct EditionCompletion;

// Completion by edition as a chart: one horizontal bar per edition, in the
// order of the completion window from the top, its length the percentage of
// the edition's printings owned.
class TGraphiqueCompletude : public TGraphique
{
    Q_OBJECT

public:
    explicit TGraphiqueCompletude(QWidget *parent = nullptr);

    // Redraws from the completion window's own rows and total.
    void setRows(const std::vector<EditionCompletion> &rows, const EditionCompletion &total);
};
