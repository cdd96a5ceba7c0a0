#pragma once

class Session;
class Progress;

// "Initialiser les possesions": sets Dispo, Utilise, Echangeable and Cherche
// to 0 on every row of the whole card table, one edit and post per row, with
// one progress step per row. An engine error stops the pass (rows already
// posted keep their zeros), hides the progress and is thrown on.
void resetAllCounts(Session &session, Progress &progress);

// "Initialiser les echanges": sets Echangeable and Cherche to 0 on every row
// of the card source (one edition while a selection is active).
void resetExchangeCounts(Session &session, Progress &progress);
