#include "ui/print_pages.h"

#include "data/error.h"
#include "ui/page_layout.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

namespace {

constexpr int PointSize = 8; // 100 characters across an A4 page
constexpr int HeaderLines = 2; // the title line, then a rule and a blank
constexpr int FooterLines = 2;

QFont listFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSize(PointSize);
    return font;
}

QString failure(const QPrinter &printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        return QStringLiteral("Impossible d'écrire le fichier PDF %1.")
            .arg(QDir::toNativeSeparators(printer.outputFileName()));
    if (!printer.printerName().isEmpty())
        return QStringLiteral("L'impression sur l'imprimante %1 a échoué.").arg(printer.printerName());
    return QStringLiteral("L'impression a échoué.");
}

// What is left of a PDF file that could not be finished is no document.
[[noreturn]] void fail(QPrinter &printer, QPainter &painter)
{
    const QString message = failure(printer);
    if (painter.isActive())
        painter.end();
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        QFile::remove(printer.outputFileName());
    throw AppError(message);
}

} // namespace

void preparePrinter(QPrinter &printer, const QString &title)
{
    printer.setDocName(title);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
}

void printList(QPrinter &printer, const PrintedList &list)
{
    QPainter painter;
    if (!painter.begin(&printer))
        fail(printer, painter);
    const QFont font = listFont();
    QFont bold = font;
    bold.setBold(true);
    painter.setFont(font);
    const QFontMetricsF metrics(font, &printer);
    const QRectF area(0, 0, printer.width(), printer.height());
    const double lineHeight = metrics.lineSpacing();
    const int columns = int(area.width() / metrics.horizontalAdvance(QLatin1Char('M')));
    const int linesPerPage = int(area.height() / lineHeight) - HeaderLines - FooterLines;

    const std::vector<PrintedPage> pages =
        PageLayout(columns, linesPerPage).pages(list.title, list.date, list.lines);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const PrintedPage &page = pages[i];
        if (i > 0 && !printer.newPage())
            fail(printer, painter);
        const QRectF titleLine(0, 0, area.width(), lineHeight);
        painter.setFont(font);
        painter.drawText(titleLine, Qt::AlignRight | Qt::AlignVCenter, page.date);
        painter.setFont(bold);
        const double dateWidth = metrics.horizontalAdvance(page.date + QStringLiteral("  "));
        const QString title = QFontMetricsF(bold, &printer)
                                  .elidedText(page.title, Qt::ElideRight, area.width() - dateWidth);
        painter.drawText(titleLine, Qt::AlignLeft | Qt::AlignVCenter, title);
        painter.setFont(font);
        const double rule = lineHeight * 1.5;
        painter.drawLine(QPointF(0, rule), QPointF(area.width(), rule));

        double y = HeaderLines * lineHeight + metrics.ascent();
        for (const QString &line : page.lines) {
            painter.drawText(QPointF(0, y), line);
            y += lineHeight;
        }
        painter.drawText(QRectF(0, area.height() - lineHeight, area.width(), lineHeight), Qt::AlignCenter,
                         page.footer);
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        fail(printer, painter);
}
