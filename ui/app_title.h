#pragma once

#include <QColor>
#include <QString>

// The application title, shown on message boxes.
inline const QString ApplicationTitle = QStringLiteral("Tabrix - Gestionnaire de cartes Vexar");

// A colour given as a Windows colour value, which holds blue, green and red
// from its high to its low byte (8421440 is red 0x40, green 0x80, blue 0x80).
inline QColor windowsColour(int value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}
