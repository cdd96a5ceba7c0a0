#include "collection/tinventaire.h"

#include "ui_inventaire.h"

#include "ui/dialogs.h"
#include "ui/export_action.h"
#include "ui/print_action.h"
#include "data/session.h"
#include "ui/windows.h"
#include "collection/inventory.h"
#include "collection/trecherche_de_cartes.h"
#include "data/card_table.h"

#include <QDir>
#include <QKeyEvent>

TInventaire::TInventaire(Session &session, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Inventaire>()), m_session(session)
{
    ui->setupUi(this);
    setFixedSize(621, 443);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui->ListBox1->setUniformItemSizes(true);
    ui->ListBox2->setUniformItemSizes(true);
    // A line too long for its list loses letters in the middle, not the
    // edition at its end, so that the printing can still be told.
    ui->ListBox1->setTextElideMode(Qt::ElideMiddle);
    ui->ListBox2->setTextElideMode(Qt::ElideMiddle);
    ui->ListBox2->installEventFilter(this);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->ListBox1, &QListWidget::itemDoubleClicked, this, &TInventaire::ListBox1DblClick);
    connect(ui->ListBox2, &QListWidget::itemDoubleClicked, this, &TInventaire::ListBox2DblClick);
    // Each list for a spreadsheet: name, edition and copies in columns.
    for (QListWidget *list : {ui->ListBox1, ui->ListBox2}) {
        addExportAction(list, [list] {
            QStringList lines;
            for (int row = 0; row < list->count(); ++row)
                lines << list->item(row)->text();
            return csv::cardLineRows(lines);
        });
        QLabel *label = list == ui->ListBox1 ? ui->Label1 : ui->Label2;
        addPrintAction(list, [list] { return listLines(list); }, [this, label] {
            return windowTitle() + QStringLiteral(" – ") + label->text().remove(QLatin1Char(':')).trimmed();
        });
    }
}

TInventaire::~TInventaire() = default;

QListWidget *TInventaire::listBox1() const
{
    return ui->ListBox1;
}

QListWidget *TInventaire::listBox2() const
{
    return ui->ListBox2;
}

QLabel *TInventaire::label1() const
{
    return ui->Label1;
}

QLabel *TInventaire::label2() const
{
    return ui->Label2;
}

QString TInventaire::fichierPath()
{
    return QDir::current().filePath(QStringLiteral("FICHIER.TXT"));
}

void TInventaire::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TInventaire::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    // FormResize: the lists share the width, the button stays centred.
    ui->Panel2->setFixedWidth(width() / 2);
    ui->BitBtn1->move(width() / 2 - 48, 8);
}

bool TInventaire::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->ListBox2 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ListBox2DblClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TInventaire::done(int result)
{
    ModeCote = false;
    ListesFournies = false;
    LignesGaucheEntieres = false;
    QDialog::done(result);
}

void TInventaire::FormShow()
{
    if (ListesFournies)
        return;
    runCommand([this] {
        InventoryCriteria criteria;
        criteria.couleur = CouleurChoisie;
        criteria.type = TypeChoisi;
        criteria.rarete = RareteChoisie;
        criteria.modeCote = ModeCote;
        criteria.cote = CoteChoisie;
        const InventoryLists lists = fillInventory(m_session.cardSource(), criteria, fichierPath());
        ui->ListBox1->clear();
        ui->ListBox2->clear();
        ui->ListBox1->addItems(lists.owned);
        ui->ListBox2->addItems(lists.missing);
    });
}

void TInventaire::ListBox1DblClick()
{
    const QListWidgetItem *item = ui->ListBox1->currentItem();
    if (!item || !item->isSelected())
        return;
    // Lines are taken whole: a long name with its edition passes 255 characters.
    const QString line = item->text();
    openCard(LignesGaucheEntieres ? line : card::uncountLine(line));
}

void TInventaire::ListBox2DblClick()
{
    const QListWidgetItem *item = ui->ListBox2->currentItem();
    if (!item || !item->isSelected())
        return;
    openCard(item->text());
}

void TInventaire::openCard(const QString &cardLine)
{
    TRecherche_De_Cartes *entry = windows().rechercheDeCartes;
    if (!entry)
        return;
    entry->showCard(cardLine);
    // Counts may have changed: the lists and the file follow.
    FormShow();
    emit cardEntryClosed();
}
