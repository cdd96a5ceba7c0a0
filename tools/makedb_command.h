#pragma once

#include <QStringList>
#include <QTextStream>

// tabrix-makedb without its process: `arguments` leaves out the program name.
//   --demo CATALOGUE_DIR OUT_DIR      OUT_DIR/CARTES.DB from the demo catalogue
//   --synthetic N DIR [SEED]          DIR/CARTES.DB with N invented printings
//   --from-paradox FILE DIR [NAME]    DIR/CARTES.DB (or DIR/NAME) converted from a Paradox table
// The first two also write an empty ECHANGE.DB of the same layout. Messages go to `out`
// and `err`; returns the exit code (0 on success, 1 on a failure, 2 on bad
// arguments).
int runMakedb(const QStringList &arguments, QTextStream &out, QTextStream &err);
