#pragma once

class Progress;
class Session;

// "Cartes utilisées": the printings in use on the left of the inventory
// window and the others on the right, under their own titles; a double-click
// on either side opens the card of the whole line. The inventory's titles and
// modes are put back when the report ends, also when a query fails (the
// error is thrown on to the caller's error box).
void showUsedCards(Session &session, Progress &progress);
