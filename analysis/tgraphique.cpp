#include "analysis/tgraphique.h"

#include "data/error.h"
#include "ui/dialogs.h"
#include "ui/help.h"

#include <QAction>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHorizontalBarSeries>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>

TGraphique::TGraphique(const QString &title, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(title);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // Its own topic, not that of the window it was opened from.
    setProperty("helpContext", help::ChartContext);
    resize(800, 540);

    auto *chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignBottom);
    m_view = new QChartView(chart);
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setObjectName(QStringLiteral("Graphique"));
    m_view->setFocusPolicy(Qt::NoFocus);

    m_scroll = new QScrollArea(this);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidget(m_view);

    auto *save = new QPushButton(QStringLiteral("Enregistrer l'image…"), this);
    save->setObjectName(QStringLiteral("BitBtnEnregistrer"));
    auto *close = new QPushButton(QStringLiteral("Fermer"), this);
    close->setObjectName(QStringLiteral("BitBtnFermer"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_scroll);
    layout->addLayout(buttons);

    m_popupMenu = new QMenu(this);
    m_popupMenu->setObjectName(QStringLiteral("PopupMenuGraphique"));
    m_enregistrer = m_popupMenu->addAction(QStringLiteral("Enregistrer l'image…"));
    m_enregistrer->setObjectName(QStringLiteral("EnregistrerImage1"));
    connect(m_enregistrer, &QAction::triggered, this, &TGraphique::EnregistrerImageClick);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_view, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_popupMenu->popup(m_view->mapToGlobal(pos)); });
    connect(save, &QPushButton::clicked, this, &TGraphique::EnregistrerImageClick);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

TGraphique::~TGraphique() = default;

QChart *TGraphique::chart() const
{
    return m_view->chart();
}

void TGraphique::clearChart()
{
    QChart *c = chart();
    c->removeAllSeries();
    // The chart gives up a removed axis without deleting it.
    for (QAbstractAxis *axis : c->axes()) {
        c->removeAxis(axis);
        delete axis;
    }
}

void TGraphique::drawHorizontalBars(QBarSet *set, const QStringList &labels, QValueAxis *values)
{
    QChart *c = chart();
    clearChart();

    auto *series = new QHorizontalBarSeries;
    series->append(set);
    series->setBarWidth(0.8);
    c->addSeries(series);
    auto *categories = new QBarCategoryAxis;
    categories->append(labels);
    categories->setTruncateLabels(false);
    c->addAxis(categories, Qt::AlignLeft);
    series->attachAxis(categories);
    c->addAxis(values, Qt::AlignBottom);
    series->attachAxis(values);
}

void TGraphique::setChartHeight(int height)
{
    m_view->setMinimumHeight(height);
    m_scroll->verticalScrollBar()->setValue(0);
}

void TGraphique::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Once the layout has given the chart its height.
    QTimer::singleShot(0, this, [this] { m_scroll->verticalScrollBar()->setValue(0); });
}

QImage TGraphique::picture() const
{
    // The view is laid out at its full height inside the scroll area, so
    // rendering it draws the parts scrolled out of sight too.
    QSize size = m_view->size();
    if (size.height() < m_view->minimumHeight() || size.width() < 100)
        size = QSize(std::max(size.width(), 700), std::max(size.height(), m_view->minimumHeight()));
    if (m_view->size() != size)
        m_view->resize(size);
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    m_view->render(&painter);
    return image;
}

void TGraphique::savePicture(const QString &path) const
{
    if (!picture().save(path, "PNG"))
        throw AppError(QStringLiteral("Impossible d'écrire l'image %1.").arg(path));
}

void TGraphique::EnregistrerImageClick()
{
    QString path = dialogs().saveFile(this, QStringLiteral("Enregistrer l'image"),
                                      QStringLiteral("Image PNG (*.png)|*.png"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".png");
    runCommand([this, &path] { savePicture(path); });
}
