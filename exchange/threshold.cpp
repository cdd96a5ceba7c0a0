#include "exchange/threshold.h"

#include "data/card_table.h"
#include "data/error.h"
#include "data/post_batch.h"
#include "data/query.h"
#include "data/session.h"
#include "exchange/narrowed_source.h"
#include "data/pass_guard.h"

namespace threshold {

namespace {
const QString Land = QStringLiteral("Ter");
}

Counts apply(qint64 dispo, const QString &type, qint64 echangeable, qint64 cherche, int seuil, bool marquer)
{
    Counts counts{echangeable, cherche};
    if (dispo >= seuil && type != Land)
        counts.echangeable = dispo - seuil + 1;
    if (marquer && dispo == 0 && cherche == 0)
        counts.cherche = 1;
    return counts;
}

void run(Dataset &source, int seuil, bool marquer, Progress &progress)
{
    if (seuil < MinimumSeuil)
        throw AppError(QStringLiteral("Le seuil d'échange doit valoir au moins %1 : un seuil de %2 "
                                      "proposerait des cartes que vous n'avez pas.")
                           .arg(MinimumSeuil)
                           .arg(seuil));
    // Each row is decided on its own counts, so the rows may come in the
    // order the file stores them.
    source.close();
    source.openUnordered();
    PassGuard guard(source, progress);
    const int rows = source.recordCount();
    progress.setMaximum(rows);
    progress.show();
    PostBatch batch(source, rows);
    while (!source.eof()) {
        const qint64 echangeable = source.field(card::Echangeable).asInteger();
        const qint64 cherche = source.field(card::Cherche).asInteger();
        const Counts counts = apply(source.field(card::Dispo).asInteger(), source.field(card::Type).asString(),
                                    echangeable, cherche, seuil, marquer);
        // A row whose counts stay as they are is not written again.
        if (counts.echangeable != echangeable || counts.cherche != cherche) {
            source.edit();
            if (counts.echangeable != echangeable)
                source.field(card::Echangeable).setAsInteger(counts.echangeable);
            if (counts.cherche != cherche)
                source.field(card::Cherche).setAsInteger(counts.cherche);
            source.post();
            batch.posted();
        }
        progress.advance();
        source.next();
    }
    batch.commit();
}

void runOnCardSource(Session &session, int seuil, bool marquer, Progress &progress)
{
    // Marking visits the rows without copies, whose blank counts the local
    // SQL cannot select: that pass reads the whole card source.
    if (marquer || seuil < MinimumSeuil) {
        run(session.cardSource(), seuil, marquer, progress);
        return;
    }
    Query offered;
    exchange::narrowCardTable(offered, session, true, QStringLiteral("Dispo >= %1").arg(seuil));
    run(offered, seuil, marquer, progress);
}

} // namespace threshold
