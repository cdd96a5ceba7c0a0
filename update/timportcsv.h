#pragma once

#include "data/csv_reader.h"
#include "update/csv_import.h"

#include <QDialog>

#include <memory>
#include <vector>

class QComboBox;
class Session;

namespace Ui {
class ImportCsv;
}

// The CSV import window: the file as it will be read (its first lines), the
// field each column goes to, the options; "&Importer" checks every line,
// makes the backup, applies the whole file and shows its report.
class TImportCsv : public QDialog
{
    Q_OBJECT

public:
    explicit TImportCsv(Session &session, QWidget *parent = nullptr);
    ~TImportCsv() override;

    // The file dialog, then the reading of the chosen file; false when the
    // user cancelled or the file was refused (its message shown).
    bool chooseFile();
    // Shows a file read beforehand, its columns guessed from its header.
    void setFile(const QString &path, csv::Document file);

    // The field of each column (csvimport::Ignored for a column left out).
    std::vector<int> columns() const;
    QComboBox *columnBox(int column) const;
    csvimport::Options options() const;

    // "&Importer": the window closes once the file is imported.
    void ImporterClick();

    // The first lines shown under the column boxes.
    static constexpr int PreviewLines = 20;

private:
    void showPreview();
    void columnChosen(int column);

    std::unique_ptr<Ui::ImportCsv> ui;
    Session &m_session;
    QString m_path;
    csv::Document m_file;
    std::vector<QComboBox *> m_boxes;
};
