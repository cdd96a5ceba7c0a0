#pragma once

#include <QString>
#include <QtGlobal>

#include <vector>

class Dataset;

// One price class of the valuation: a price and the number of owned copies
// at exactly that price.
struct TClasseCote {
    double Prix = 0;
    quint64 Quantite = 0;
};

struct Valuation {
    double total = 0;
    // Distinct prices of the owned rows, dearest first.
    std::vector<TClasseCote> classes;
};

// Values the owned copies (Dispo + Utilise) of every row of `source`, read
// from its first row to its last; a blank price counts as 0. Opens and
// closes the source.
Valuation evaluateCollection(Dataset &source);

// "Votre collection est estimable à " + total + " Francs.".
QString valuationSentence(double total);

// The list line of one class: quantity, "carte(s) cotée(s)", price, franc(s).
QString priceClassLine(const TClasseCote &priceClass);
