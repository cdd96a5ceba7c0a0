#pragma once

#include <QDialog>
#include <QImage>

class QAction;
class QBarSet;
class QChart;
class QChartView;
class QMenu;
class QPushButton;
class QScrollArea;
class QValueAxis;

// What the two chart windows share: a chart that scrolls when it is taller
// than the window, "Enregistrer l'image…" in the context menu and as a button
// (the whole chart as a PNG file), and "Fermer".
class TGraphique : public QDialog
{
    Q_OBJECT

public:
    explicit TGraphique(const QString &title, QWidget *parent = nullptr);
    ~TGraphique() override;

    QChart *chart() const;
    QMenu *popupMenu1() const { return m_popupMenu; }
    QAction *enregistrerImage1() const { return m_enregistrer; }

    // The whole chart, as tall as it is drawn, scrolled part included.
    QImage picture() const;
    // Asks for a file name, then writes the picture there as PNG (".png"
    // added when the name has no extension). Errors in the error box.
    void EnregistrerImageClick();
    // Writes the picture to `path` as PNG; AppError when it cannot.
    void savePicture(const QString &path) const;

protected:
    // Takes the series and axes of the previous drawing away, freeing them.
    void clearChart();
    // Replaces what the chart shows by one horizontal bar per label of
    // `set`, the labels on a category axis at the left (drawn upwards: the
    // last label at the top) and `values` at the bottom. Takes both.
    void drawHorizontalBars(QBarSet *set, const QStringList &labels, QValueAxis *values);
    // The chart's height, beyond which the window scrolls; the window shows
    // the top of the chart again.
    void setChartHeight(int height);
    void showEvent(QShowEvent *event) override;

private:
    QChartView *m_view = nullptr;
    QScrollArea *m_scroll = nullptr;
    QMenu *m_popupMenu = nullptr;
    QAction *m_enregistrer = nullptr;
};
