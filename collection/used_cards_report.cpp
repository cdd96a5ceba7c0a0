#include "collection/used_cards_report.h"

#include "collection/tinventaire.h"
#include "collection/used_cards.h"
#include "data/session.h"
#include "ui/help.h"
#include "ui/windows.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>

namespace {

// Puts the inventory window back as its other users expect it.
struct InventoryRestore {
    TInventaire &inventaire;
    const QVariant helpContext = inventaire.property("helpContext");
    ~InventoryRestore()
    {
        inventaire.label1()->setText(QStringLiteral("Vous avez : "));
        inventaire.label2()->setText(QStringLiteral("Il vous manque : "));
        inventaire.ListesFournies = false;
        inventaire.LignesGaucheEntieres = false;
        inventaire.setProperty("helpContext", helpContext);
    }
};

struct WaitCursor {
    bool set = true;
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    void end()
    {
        if (set)
            QApplication::restoreOverrideCursor();
        set = false;
    }
    ~WaitCursor() { end(); }
};

} // namespace

void showUsedCards(Session &session, Progress &progress)
{
    TInventaire *inventaire = windows().inventaire;
    if (!inventaire)
        return;
    InventoryRestore restore{*inventaire};
    WaitCursor cursor;

    inventaire->label1()->setText(QStringLiteral("Cartes que vous utilisez : "));
    inventaire->label2()->setText(QStringLiteral("Cartes que vous n'utilisez pas : "));
    inventaire->listBox1()->clear();
    inventaire->listBox2()->clear();
    inventaire->ListesFournies = true;
    inventaire->LignesGaucheEntieres = true;
    // F1 tells about the report, not about the inventory's usual lists.
    inventaire->setProperty("helpContext", help::UsedCardsContext);

    const UsedCards report = usedCardsLists(session.query1, progress);
    inventaire->listBox1()->addItems(report.used);
    inventaire->listBox2()->addItems(report.unused);
    cursor.end();

    inventaire->exec();
}
