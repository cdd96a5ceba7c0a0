#pragma once

class QWidget;
class Session;
class TInventaire;

namespace exchange {

// "Visualiser un fichier d'échanges": asks for a received exchange table and
// shows what it offers and wants in the inventory window, with its own
// titles, the cards worth a look in bold and a summary line under the lists.
// The inventory window gets its titles and normal mode back however this
// ends (cancelled dialog, unreadable file, closed window); a bad file is one
// error box and nothing is shown.
void viewExchangeFile(Session &session, TInventaire &inventaire, QWidget *parent);

// Filter and caption of the open dialog.
inline constexpr const char *ViewerFilter = "Fichier bases (*.db)|*.db";

} // namespace exchange
