#pragma once

#include "data/csv_file.h"

#include <QDialog>
#include <QStringList>

#include <memory>

class QAction;
class QListWidget;

namespace Ui {
class RapportCsv;
}

// The report of a CSV import: its counts and the lines not applied, in a
// plain list; "Exporter…" writes those lines to a CSV file to correct and
// import again.
class TRapportCsv : public QDialog
{
    Q_OBJECT

public:
    explicit TRapportCsv(QWidget *parent = nullptr);
    ~TRapportCsv() override;

    // The lines shown and the rows "Exporter…" writes (a header alone when
    // every line was applied).
    void setReport(const QStringList &lines, const csv::Rows &skipped);
    QListWidget *listBox1() const;
    void ExporterClick();

private:
    std::unique_ptr<Ui::RapportCsv> ui;
    csv::Rows m_skipped;
    QAction *m_exportAction = nullptr;
};
