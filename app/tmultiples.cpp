#include "app/tmultiples.h"

#include "ui/dialogs.h"
#include "ui/export_action.h"
#include "ui/print_action.h"
#include "app/multiples.h"
#include "data/session.h"
#include "ui/windows.h"
#include "collection/trecherche_de_cartes.h"
#include "data/card_table.h"
#include "data/text_file.h"
#include "ui_multiples.h"

#include <QMenu>
#include <QScrollBar>
#include <QShowEvent>

TMultiples::TMultiples(Session &session, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Multiples>()), m_session(session)
{
    ui->setupUi(this);
    resize(435, 292);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_popupMenu = new QMenu(this);
    m_popupMenu->setObjectName(QStringLiteral("PopupMenu1"));
    m_popupMenu->addAction(ui->Imprimer1);
    // The list for a spreadsheet: name, edition and copies in columns.
    auto *exporter = new QAction(QStringLiteral("Exporter…"), this);
    exporter->setObjectName(QStringLiteral("Exporter"));
    m_popupMenu->addAction(exporter);
    m_popupMenu->addAction(newPrintAction(this, [this] { return listLines(ui->ListBox1); }));
    connect(exporter, &QAction::triggered, this, [this] {
        QStringList lines;
        for (int row = 0; row < ui->ListBox1->count(); ++row)
            lines << ui->ListBox1->item(row)->text();
        exportToCsv(this, csv::cardLineRows(lines));
    });

    connect(ui->BitBtn1, &QPushButton::clicked, this, &QDialog::close);
    connect(ui->ListBox1, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        m_popupMenu->popup(ui->ListBox1->viewport()->mapToGlobal(pos));
    });
    connect(ui->Imprimer1, &QAction::triggered, this, [this] { runCommand([this] { Imprimer(); }); });
    connect(ui->ListBox1, &QListWidget::itemDoubleClicked, this,
            [this] { runCommand([this] { ListBox1DblClick(); }); });
}

TMultiples::~TMultiples() = default;

QListWidget *TMultiples::listBox1() const
{
    return ui->ListBox1;
}

QAction *TMultiples::imprimer1() const
{
    return ui->Imprimer1;
}

void TMultiples::showMultiples(int multiplicite, const QString &caption)
{
    setWindowTitle(caption);
    Multiplicite = quint8(multiplicite);
    exec();
}

void TMultiples::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        runCommand([this] { FormShow(); });
}

void TMultiples::FormShow()
{
    ui->ListBox1->clear();
    ui->ListBox1->addItems(multiplesLines(m_session.cardSource(), Multiplicite));
}

void TMultiples::Imprimer()
{
    const QString path = dialogs().saveFile(this, QStringLiteral("Enregistrer sous"), QString());
    if (path.isEmpty())
        return;
    QStringList lines;
    for (int row = 0; row < ui->ListBox1->count(); ++row)
        lines << ui->ListBox1->item(row)->text();
    writeLinesFile(path, lines);
}

void TMultiples::ListBox1DblClick()
{
    const QList<QListWidgetItem *> selected = ui->ListBox1->selectedItems();
    if (selected.isEmpty())
        return;
    windows().rechercheDeCartes->showCard(card::uncountLine(selected.first()->text()));
    // Changed counts move cards in or out of the list; the user stays at
    // the same place in it.
    const int scrolled = ui->ListBox1->verticalScrollBar()->value();
    FormShow();
    ui->ListBox1->verticalScrollBar()->setValue(scrolled);
}
