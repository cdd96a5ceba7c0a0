#include "analysis/tevaluation.h"

#include "analysis/tgraphique_evaluation.h"
#include "analysis/valuation.h"
#include "ui/dialogs.h"
#include "ui/export_action.h"
#include "ui/print_action.h"
#include "data/session.h"
#include "ui/windows.h"
#include "collection/tinventaire.h"
#include "ui_evaluation.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QMenu>
#include <QShowEvent>

#include <algorithm>

TEvaluation::TEvaluation(Session &session, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Evaluation>()), m_session(session)
{
    ui->setupUi(this);
    setFixedSize(377, 222);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    // The lines are aligned in columns, which needs a fixed-pitch font.
    QFont font(QStringLiteral("Courier New"), 10);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    if (!QFontInfo(font).fixedPitch())
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    ui->ListBox1->setFont(font);
    QPalette palette = ui->ListBox1->palette();
    palette.setColor(QPalette::Text, Qt::black);
    ui->ListBox1->setPalette(palette);

    m_popupMenu = new QMenu(this);
    m_popupMenu->setObjectName(QStringLiteral("PopupMenu1"));
    m_graphique = m_popupMenu->addAction(QStringLiteral("Graphique…"));
    m_graphique->setObjectName(QStringLiteral("Graphique1"));
    connect(m_graphique, &QAction::triggered, this, &TEvaluation::Graphique1Click);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_popupMenu->popup(mapToGlobal(pos)); });
    // The chart belongs to this valuation: it goes when the window closes.
    connect(this, &QDialog::finished, this, [this] {
        if (m_chart)
            m_chart->close();
    });

    connect(ui->BitBtn1, &QPushButton::clicked, this, &QDialog::close);
    connect(ui->ListBox1, &QListWidget::itemDoubleClicked, this,
            [this] { runCommand([this] { ListBox1DblClick(); }); });
    // The price classes for a spreadsheet: price, copies and their value.
    QAction *exporter = addExportAction(ui->ListBox1, [this] {
        csv::Rows rows{{QStringLiteral("Cote"), QStringLiteral("Exemplaires"), QStringLiteral("Valeur")}};
        for (const TClasseCote &priceClass : m_valuation.classes)
            rows << QStringList{csv::number(priceClass.Prix), QString::number(priceClass.Quantite),
                                csv::number(priceClass.Prix * double(priceClass.Quantite))};
        return rows;
    });
    // Printed under the sentence of the total.
    addPrintAction(ui->ListBox1,
                   [this] { return QStringList{ui->Label1->text(), QString()} + listLines(ui->ListBox1); });
    // The list's own menu offers the chart too, not only the window's.
    ui->ListBox1->insertAction(exporter, m_graphique);
}

TEvaluation::~TEvaluation() = default;

QListWidget *TEvaluation::listBox1() const
{
    return ui->ListBox1;
}

QLabel *TEvaluation::label1() const
{
    return ui->Label1;
}

void TEvaluation::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        runCommand([this] { FormShow(); });
}

void TEvaluation::FormShow()
{
    ui->ListBox1->clear();
    m_prices.clear();
    ui->Label1->setText(QStringLiteral("Veuillez patienter pendant l'estimation."));

    m_valuation = evaluateCollection(m_session.cardSource());
    const Valuation &valuation = m_valuation;
    ui->Label1->setText(valuationSentence(valuation.total));
    if (m_chart && m_chart->isVisible())
        m_chart->setValuation(m_valuation, m_session.editionSelected());
    m_prices.reserve(valuation.classes.size());
    for (const TClasseCote &priceClass : valuation.classes) {
        ui->ListBox1->addItem(priceClassLine(priceClass));
        m_prices.push_back(priceClass.Prix);
    }
}

void TEvaluation::ListBox1DblClick()
{
    const QList<QListWidgetItem *> selected = ui->ListBox1->selectedItems();
    if (selected.isEmpty())
        return;
    const int row = ui->ListBox1->row(selected.first());
    if (row < 0 || std::size_t(row) >= m_prices.size())
        return;

    // The exact price of the class, not the rounded text of its line: a
    // class of 125.75 francs must list the cards of 125.75.
    const double price = m_prices[std::size_t(row)];
    TInventaire *inventaire = windows().inventaire;
    inventaire->ModeCote = true;
    inventaire->CoteChoisie = price;
    inventaire->exec();
    // Counts may have changed in the card entry window opened from there;
    // the class the user came from stays selected if it is still there.
    FormShow();
    const auto found = std::find(m_prices.begin(), m_prices.end(), price);
    if (found != m_prices.end())
        ui->ListBox1->setCurrentRow(int(found - m_prices.begin()));
}

void TEvaluation::Graphique1Click()
{
    if (!m_chart)
        m_chart = new TGraphiqueEvaluation(this);
    m_chart->setValuation(m_valuation, m_session.editionSelected());
    m_chart->show();
    m_chart->raise();
}
