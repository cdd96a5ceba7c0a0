#pragma once

#include <QString>
#include <QVariant>

// A name or an edition read from a file from someone else (an exchange
// table, an update set) is plain text: no bytes, no control or format
// characters (a tab, a line end, a bell), no more than MaxForeignText
// characters.
inline constexpr int MaxForeignText = 4096;

// Why `value`, read at line `row` in the field `field`, is not such a text,
// in a French sentence naming both ("la ligne 3 contient des caractères de
// contrôle dans le champ Nom_français."); empty when it is.
QString foreignTextFault(const QVariant &value, qint64 row, const QString &field);
