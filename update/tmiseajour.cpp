#include "update/tmiseajour.h"

#include "data/backup.h"
#include "data/session.h"
#include "ui/backup_guard.h"
#include "ui/centre.h"
#include "ui/dialogs.h"
#include "ui/input_hold.h"
#include "ui/windows.h"
#include "update/timportation.h"

#include "ui_miseajour.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>

namespace {

// The reports in the report window, the warnings in an information box.
class WindowReports : public UpdateReports
{
public:
    explicit WindowReports(QWidget *parent) : m_parent(parent) {}

    void report(const QString &caption, const QStringList &lines) override
    {
        TImportation *window = windows().importation;
        if (!window)
            return;
        window->setReport(caption, lines);
        if (!lines.isEmpty())
            window->exec();
        // The screen is brought up to date between the steps.
        QApplication::processEvents();
    }

    void warn(const QString &text) override
    {
        dialogs().inform(m_parent, text, 0, QStringLiteral("Information"));
    }

private:
    QWidget *m_parent;
};

} // namespace

TMiseAJour::TMiseAJour(Session &session, QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::MiseAJour>())
    , m_session(session)
{
    ui->setupUi(this);
    resize(330, 174);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    centreOnScreen(this);

    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!desktop.isEmpty())
        m_desktopFile = QDir(desktop).filePath(QStringLiteral("tabrix.txt"));

    connect(ui->BitBtn1, &QPushButton::clicked, this, &TMiseAJour::BitBtn1Click);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &TMiseAJour::BitBtn2Click);
    connect(ui->BitBtn3, &QPushButton::clicked, this, &QDialog::reject);
}

TMiseAJour::~TMiseAJour() = default;

void TMiseAJour::BitBtn1Click()
{
    const QString path =
        dialogs().openFile(this, QStringLiteral("Ouvrir"), QStringLiteral("Fichier de mise-à-jour|*.maj"));
    if (path.isEmpty())
        return;
    m_fileName = path;
    ui->BitBtn1->setText(QDir::toNativeSeparators(path));
}

void TMiseAJour::BitBtn2Click()
{
    // The window system gets its turn between the steps (reports, warnings,
    // repaints): meanwhile no click or key may start the update again,
    // choose another set or close the window.
    const InputHold hold;
    UpdateOptions options;
    options.apparition = ui->CheckBox1->isChecked();
    options.devaluation = ui->CheckBox2->isChecked();
    options.reevaluation = ui->CheckBox3->isChecked();
    options.desktopFile = m_desktopFile;
    // The set chosen now is the one applied, whatever happens meanwhile.
    const QString chosen = m_fileName;
    WindowReports reports(this);
    bool applied = false;
    const bool done = runCommand([&] {
        if (chosen.isEmpty())
            throw AppError(QStringLiteral("Choisissez d'abord le fichier de mise à jour (bouton « Nom du fichier »)."));
        if (!backupBeforeCommand(this, m_session.cardTablePath(), backup::CatalogueUpdate, 5))
            return;
        applyUpdateSet(m_session, chosen, options, reports);
        applied = true;
    });
    if (done && applied)
        accept();
}
