#pragma once

#include <QString>

class Dataset;
class Session;

// The exchange table ECHANGE.DB handed to another collector: every printing
// of the card source that is offered or wanted, with its fields copied by
// position through their text form, the picture left empty and Dispo set to
// 0 (the other collector does not learn how many copies are available).
namespace exchange {

// Rewrites the table file `exchangePath` from `source`, read once. The file
// must exist with the card table's layout; it is checked, then the new
// table is written into a copy beside it and put in its place, so that it is
// always one whole, self-contained file: a missing, read-only, locked or
// foreign file (a Paradox table, a file that is no table, another layout),
// or any failure while writing, throws AppError and leaves the previous file
// exactly as it was; the message says what the file is and how to get a
// fresh one (a copy of `freshTable`, the empty table installed with the
// program, named when it is there). A symbolic link is written through: the
// copy is made in the folder of the file it points to and renamed there.
// Copies left by a killed run are cleared. Nothing is read from `source`
// before the file has passed its checks. Returns the number of rows written.
int writeExchangeTable(Dataset &source, const QString &exchangePath, const QString &freshTable = QString());

// "Generer fichier des echanges": closes the viewer's table (it may name the
// same file) and rewrites ECHANGE.DB of the database directory from the card
// source (one edition while a selection is active). Returns the rows written.
int writeSessionExchangeTable(Session &session, const QString &freshTable = QString());

// The path of ECHANGE.DB in the session's database directory (letter case
// ignored); AppError with a clear message when there is none.
QString exchangeTablePath(Session &session, const QString &freshTable = QString());

} // namespace exchange
