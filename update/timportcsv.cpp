#include "update/timportcsv.h"

#include "data/backup.h"
#include "data/progress.h"
#include "data/session.h"
#include "ui/backup_guard.h"
#include "ui/centre.h"
#include "ui/dialogs.h"
#include "ui/help.h"
#include "ui/tprogression.h"
#include "ui/windows.h"
#include "update/csv_columns.h"
#include "update/csv_import_report.h"
#include "update/trapportcsv.h"

#include "ui_importcsv.h"

#include <QComboBox>
#include <QDir>
#include <QHeaderView>

namespace {

constexpr int HelpContext = help::CsvImportContext;
// Below this many lines the import is over before a gauge could be read.
constexpr int LongFile = 2000;

// Shows the progress window for a long file, and hides it however the
// step ends.
class ProgressShown
{
public:
    ProgressShown(Progress &progress, int maximum, bool shown) : m_progress(progress), m_shown(shown)
    {
        if (!m_shown)
            return;
        m_progress.setMaximum(maximum);
        m_progress.show();
    }
    ~ProgressShown()
    {
        if (m_shown)
            m_progress.hide();
    }
    ProgressShown(const ProgressShown &) = delete;
    ProgressShown &operator=(const ProgressShown &) = delete;

private:
    Progress &m_progress;
    bool m_shown;
};

} // namespace

TImportCsv::TImportCsv(Session &session, QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::ImportCsv>())
    , m_session(session)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    centreOnScreen(this);
    connect(ui->Importer, &QPushButton::clicked, this, &TImportCsv::ImporterClick);
    connect(ui->Annuler, &QPushButton::clicked, this, &QDialog::reject);
}

TImportCsv::~TImportCsv() = default;

bool TImportCsv::chooseFile()
{
    const QString path = dialogs().openFile(this, QStringLiteral("Importer un fichier CSV"),
                                            QStringLiteral("Fichier CSV (*.csv)|*.csv|Tous les fichiers (*)|*"),
                                            HelpContext);
    if (path.isEmpty())
        return false;
    csv::Document file;
    if (!runCommand([&] { file = csv::readFile(path); }))
        return false;
    setFile(path, std::move(file));
    return true;
}

void TImportCsv::setFile(const QString &path, csv::Document file)
{
    m_path = path;
    m_file = std::move(file);
    ui->Fichier->setText(QStringLiteral("Fichier : %1\n%2, séparateur %3, %4 ligne(s) de cartes après l'en-tête.")
                             .arg(QDir::toNativeSeparators(path), csv::encodingName(m_file.encoding),
                                  csv::separatorName(m_file.separator))
                             .arg(m_file.rowCount()));
    showPreview();
}

void TImportCsv::showPreview()
{
    QTableWidget *grid = ui->Apercu;
    grid->clear();
    m_boxes.clear();
    const int columnCount = int(m_file.header.size());
    const int lines = qMin(PreviewLines, m_file.rowCount());
    grid->setColumnCount(columnCount);
    grid->setRowCount(1 + lines);
    QStringList titles;
    for (int column = 0; column < columnCount; ++column) {
        const QString title = m_file.header[column];
        titles << (title.trimmed().isEmpty() ? QStringLiteral("Colonne %1").arg(column + 1) : title);
    }
    grid->setHorizontalHeaderLabels(titles);
    QStringList rowTitles{QStringLiteral("Champ")};
    for (int row = 0; row < lines; ++row)
        rowTitles << QStringLiteral("Ligne %1").arg(m_file.lineNumber(row));
    grid->setVerticalHeaderLabels(rowTitles);

    const std::vector<int> guessed = csvimport::guessColumns(m_file.header);
    const QStringList choices = csvimport::targetTitles();
    for (int column = 0; column < columnCount; ++column) {
        auto *box = new QComboBox(grid);
        box->setObjectName(QStringLiteral("Colonne%1").arg(column + 1));
        box->addItems(choices);
        box->setCurrentIndex(csvimport::targetChoice(guessed[size_t(column)]));
        connect(box, &QComboBox::currentIndexChanged, this, [this, column] { columnChosen(column); });
        grid->setCellWidget(0, column, box);
        m_boxes.push_back(box);
        for (int row = 0; row < lines; ++row)
            grid->setItem(row + 1, column, new QTableWidgetItem(m_file.field(row, column)));
    }
    grid->resizeColumnsToContents();
    // A long name must not push the other columns out of sight.
    for (int column = 0; column < columnCount; ++column)
        grid->setColumnWidth(column, qBound(m_boxes[size_t(column)]->sizeHint().width(), grid->columnWidth(column), 260));
}

void TImportCsv::columnChosen(int column)
{
    // One column per field: the column that had the field lets it go.
    const int field = csvimport::targetField(m_boxes[size_t(column)]->currentIndex());
    if (field == csvimport::Ignored)
        return;
    for (size_t other = 0; other < m_boxes.size(); ++other) {
        if (int(other) != column && csvimport::targetField(m_boxes[other]->currentIndex()) == field) {
            const QSignalBlocker quiet(m_boxes[other]);
            m_boxes[other]->setCurrentIndex(0);
        }
    }
}

std::vector<int> TImportCsv::columns() const
{
    std::vector<int> fields;
    for (QComboBox *box : m_boxes)
        fields.push_back(csvimport::targetField(box->currentIndex()));
    return fields;
}

QComboBox *TImportCsv::columnBox(int column) const
{
    return column >= 0 && column < int(m_boxes.size()) ? m_boxes[size_t(column)] : nullptr;
}

csvimport::Options TImportCsv::options() const
{
    csvimport::Options chosen;
    chosen.addCounts = ui->Ajouter->isChecked();
    chosen.createMissing = ui->Creer->isChecked();
    return chosen;
}

void TImportCsv::ImporterClick()
{
    static NoProgress noProgress;
    Progress &progress = windows().progression ? static_cast<Progress &>(*windows().progression) : noProgress;
    const bool longFile = m_file.rowCount() >= LongFile;
    const std::vector<int> chosen = columns();
    csvimport::CsvImport import(m_file, chosen, options());
    bool applied = false;
    const bool done = runCommand([&] {
        // The card table is read and written whole, whatever edition is
        // selected; no cursor of the session stays on it meanwhile.
        m_session.table.close();
        {
            ProgressShown shown(progress, m_file.rowCount(), longFile);
            import.plan(m_session.cardTablePath(), progress);
        }
        if (!backupBeforeCommand(this, m_session.cardTablePath(), backup::CsvImport, HelpContext))
            return;
        {
            const csvimport::Summary &planned = import.summary();
            ProgressShown shown(progress, planned.updated + planned.created, longFile);
            import.apply(progress);
        }
        applied = true;
    });
    if (!done || !applied)
        return;
    if (TRapportCsv *report = windows().rapportCsv) {
        report->setReport(csvimport::reportLines(m_file, chosen, import.summary()),
                          csvimport::skippedRows(m_file, import.summary()));
        report->exec();
    }
    accept();
}
