#pragma once

#include <QString>
#include <QStringList>

// What the search window asks for: the texts of its fields and the states of
// its boxes, initially the three rarities and nothing else.
struct SearchCriteria {
    QString francais;
    QString anglais;

    bool rouge = false;
    bool vert = false;
    bool bleu = false;
    bool noir = false;
    bool blanc = false;
    bool incolor = false; // captioned "Inc", tests the colour code 'Or'
    QString cout;

    bool artefact = false;
    bool cArtefact = false;
    bool enchantement = false;
    bool ephemere = false;
    bool invocation = false;
    bool rituel = false;
    bool interruption = false;

    QString forceMin;
    QString forceMax;
    QString enduranceMin;
    QString enduranceMax;

    bool commune = true;
    bool noncommune = true;
    bool rare = true;

    bool possede = false;

    bool operator==(const SearchCriteria &) const = default;
};

// Letters a to z turned into A to Z; every other character, accented
// letters included, unchanged (as the engine's UPPER does).
QString upperAscii(const QString &text);

// The criteria that apply, in their fixed order, each cut at 255 characters.
// A strength or toughness bound that is not a number throws AppError naming
// the field and the text, so that nothing typed there reaches the statement
// but a number.
QStringList searchCriteria(const SearchCriteria &criteria);

// The statement lines: "SELECT * FROM CARTES WHERE", then the criteria with
// a line "AND" between two of them. With no criterion the statement ends
// with WHERE, which the engine rejects.
QStringList searchStatement(const SearchCriteria &criteria);
