#include "analysis/tanalyse.h"

#include "analysis/tanalyse_defilement.h"
#include "analysis/tgraphique_analyse.h"
#include "collection/tinventaire.h"
#include "data/card_table.h"
#include "data/session.h"
#include "ui/dialogs.h"
#include "ui/windows.h"
#include "ui_analyse.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QMenu>
#include <QMouseEvent>
#include <QShowEvent>
#include <QTabBar>

using namespace analysis;

namespace {

// Below this size the digits could no longer be read.
constexpr int SmallestCellPixels = 8;

// A cell text of 16 characters or more (counts of four digits and more) is
// wider than its cell: the whole grid is then drawn in a smaller size of
// the same font, rather than cut at the cells' edge, and its columns still
// line up.
QFont fittingFont(const QFont &font, const QStringList &texts, int width)
{
    QFont fitted = font;
    for (const QString &text : texts) {
        while (fitted.pixelSize() > SmallestCellPixels && QFontMetrics(fitted).horizontalAdvance(text) > width)
            fitted.setPixelSize(fitted.pixelSize() - 1);
    }
    return fitted;
}

} // namespace

TAnalyse::TAnalyse(Session &session, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Analyse>()), m_session(session)
{
    ui->setupUi(this);
    setFixedSize(622, 286);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_cells = {{
        {ui->Label7, ui->Label8, ui->Label15, ui->Label16},
        {ui->Label17, ui->Label18, ui->Label19, ui->Label20},
        {ui->Label21, ui->Label22, ui->Label23, ui->Label24},
        {ui->Label25, ui->Label26, ui->Label27, ui->Label28},
        {ui->Label29, ui->Label30, ui->Label31, ui->Label32},
        {ui->Label33, ui->Label34, ui->Label35, ui->Label36},
        {ui->Label37, ui->Label38, ui->Label39, ui->Label40},
        {ui->Label41, ui->Label42, ui->Label43, ui->Label44},
    }};

    // The cell texts are aligned in columns, which needs a fixed-pitch font.
    QFont font(QStringLiteral("Courier New"));
    font.setPixelSize(13);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    if (!QFontInfo(font).fixedPitch()) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPixelSize(13);
    }
    m_cellFont = font;
    for (const auto &row : m_cells) {
        for (QLabel *cell : row) {
            cell->setFont(font);
            QPalette palette = cell->palette();
            palette.setColor(QPalette::WindowText, Qt::black);
            cell->setPalette(palette);
            cell->installEventFilter(this);
        }
    }

    QTabBar *tabs = ui->TabSet1;
    tabs->setShape(QTabBar::RoundedSouth);
    tabs->setExpanding(false);
    tabs->setDrawBase(false);
    for (const char *name : card::ColourNames)
        tabs->addTab(QString::fromUtf8(name));
    tabs->setCurrentIndex(0);
    connect(tabs, &QTabBar::currentChanged, this, [this](int index) {
        if (index >= 0)
            TabSet1Change(index);
    });

    m_popupMenu = new QMenu(this);
    m_popupMenu->setObjectName(QStringLiteral("PopupMenu1"));
    m_quantites = m_popupMenu->addAction(QStringLiteral("Quantités"));
    m_quantites->setObjectName(QStringLiteral("Quantites1"));
    m_quantites->setCheckable(true);
    m_rafraichir = m_popupMenu->addAction(QStringLiteral("Rafraichir"));
    m_rafraichir->setObjectName(QStringLiteral("Rafraichir1"));
    m_quitter = m_popupMenu->addAction(QStringLiteral("&Quitter"));
    m_quitter->setObjectName(QStringLiteral("Quitter1"));
    m_graphique = m_popupMenu->addAction(QStringLiteral("Graphique…"));
    m_graphique->setObjectName(QStringLiteral("Graphique1"));
    connect(m_graphique, &QAction::triggered, this, &TAnalyse::Graphique1Click);
    connect(m_quantites, &QAction::triggered, this, &TAnalyse::Quantites1Click);
    connect(m_rafraichir, &QAction::triggered, this, &TAnalyse::Rafraichir1Click);
    connect(m_quitter, &QAction::triggered, this, &TAnalyse::Quitter1Click);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_popupMenu->popup(mapToGlobal(pos)); });

    TabSet1Change(0);
}

TAnalyse::~TAnalyse() = default;

QLabel *TAnalyse::cellLabel(int row, int column) const
{
    return m_cells[size_t(row)][size_t(column)];
}

QTabBar *TAnalyse::tabSet1() const
{
    return ui->TabSet1;
}

void TAnalyse::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TAnalyse::FormShow()
{
    runCommand([this] { runPass(true); });
}

void TAnalyse::runPass(bool tellUnknownCodes)
{
    // The gauge lets the window system run between steps: a second pass must
    // not start inside this one.
    if (m_passRunning)
        return;
    m_passRunning = true;
    struct Running {
        bool &flag;
        ~Running() { flag = false; }
    } running{m_passRunning};

    NoProgress none;
    Progress &progress = windows().analyseDefilement ? static_cast<Progress &>(*windows().analyseDefilement)
                                                     : static_cast<Progress &>(none);
    const AnalysisResult result = analyseCollection(m_session.cardSource(), progress);
    m_matrix = result.matrix;
    TabSet1Change(ui->TabSet1->currentIndex());
    updateChart();
    if (!tellUnknownCodes)
        return;
    // Once per unknown code, not once per record; the answer is not used.
    for (const QString &message : unknownCodeMessages(result.unknown))
        dialogs().askYesNo(this, message);
}

void TAnalyse::TabSet1Change(int newTab)
{
    if (newTab < 0 || newTab >= Colours)
        return;
    const bool quantities = m_quantites->isChecked();
    QStringList texts;
    for (int row = 0; row < Rows; ++row) {
        for (int column = 0; column < Columns; ++column)
            texts << FormateCase(m_matrix.Compteurs[size_t(newTab)][size_t(row)][size_t(column)],
                                 m_matrix.Valeurs[size_t(newTab)][size_t(row)][size_t(column)], quantities);
    }
    const QFont font = fittingFont(m_cellFont, texts, m_cells[0][0]->width());
    for (int row = 0; row < Rows; ++row) {
        for (int column = 0; column < Columns; ++column) {
            QLabel *cell = m_cells[size_t(row)][size_t(column)];
            cell->setFont(font);
            cell->setText(texts.at(row * Columns + column));
        }
    }
}

void TAnalyse::Quantites1Click()
{
    // The action's check mark has already changed when it was triggered from
    // the menu; a direct call toggles it here.
    if (sender() != m_quantites)
        m_quantites->setChecked(!m_quantites->isChecked());
    TabSet1Change(ui->TabSet1->currentIndex());
    updateChart();
}

void TAnalyse::Graphique1Click()
{
    if (!m_chart)
        m_chart = new TGraphiqueAnalyse(this);
    m_chart->setMatrix(m_matrix, m_quantites->isChecked(), m_session.editionSelected());
    m_chart->show();
    m_chart->raise();
}

void TAnalyse::updateChart()
{
    if (m_chart && m_chart->isVisible())
        m_chart->setMatrix(m_matrix, m_quantites->isChecked(), m_session.editionSelected());
}

void TAnalyse::Rafraichir1Click()
{
    FormShow();
}

void TAnalyse::Quitter1Click()
{
    close();
}

void TAnalyse::LabelClick(int row, int column)
{
    TInventaire *inventaire = windows().inventaire;
    if (!inventaire || m_passRunning)
        return;
    const DrillDown drill = drillDownOf(ui->TabSet1->currentIndex(), row, column);
    inventaire->ModeCote = false;
    inventaire->ListesFournies = false;
    inventaire->CouleurChoisie = drill.couleur;
    inventaire->TypeChoisi = drill.type;
    inventaire->RareteChoisie = drill.rarete;
    inventaire->exec();
    // Counts may have been changed from the inventory's card entry window.
    // The codes were told at the opening: the recount keeps quiet about them.
    runCommand([this] { runPass(false); });
}

void TAnalyse::done(int result)
{
    if (m_passRunning)
        return;
    // The chart belongs to this analysis: it goes when the window closes.
    if (m_chart)
        m_chart->close();
    QDialog::done(result);
}

void TAnalyse::closeEvent(QCloseEvent *event)
{
    if (m_passRunning) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

bool TAnalyse::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        for (int row = 0; row < Rows; ++row) {
            for (int column = 0; column < Columns; ++column) {
                if (m_cells[size_t(row)][size_t(column)] == watched) {
                    LabelClick(row, column);
                    return true;
                }
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}
