#pragma once

#include <QtGlobal>

class Dataset;
class Progress;
class Session;

// The exchange threshold: of a printing held in `seuil` copies or more, every
// copy from the threshold on is offered (Echangeable = Dispo - seuil + 1).
// Lands ("Ter") are never offered, and a printing below the threshold keeps
// the Echangeable it had. With `marquer`, every printing with no copy
// available and none wanted yet is marked as wanted once (Cherche = 1),
// whatever its type and its used copies.
namespace threshold {

inline constexpr int DefaultSeuil = 5;
// Below 1 the rule would offer copies the collector does not have.
inline constexpr int MinimumSeuil = 1;

// The two counts the pass gives a row, from its Dispo, Type, Echangeable and
// Cherche.
struct Counts {
    qint64 echangeable;
    qint64 cherche;
};
Counts apply(qint64 dispo, const QString &type, qint64 echangeable, qint64 cherche, int seuil, bool marquer);

// Runs the pass over `source` (the card source), one edit and post per row
// that changes, one progress step per row. A threshold below 1 is refused
// with AppError before anything is read. An engine error stops the pass:
// rows already posted keep their new counts.
void run(Dataset &source, int seuil, bool marquer, Progress &progress);

// The pass of the "Seuil d'échange" dialog on the card source. Without
// `marquer` only rows with Dispo at or above the threshold can change, so
// only those are read (the progress counts them).
void runOnCardSource(Session &session, int seuil, bool marquer, Progress &progress);

} // namespace threshold
