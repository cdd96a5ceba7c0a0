#include "app/startup.h"

#include "analysis/tanalyse.h"
#include "analysis/tanalyse_defilement.h"
#include "analysis/tcompletude.h"
#include "analysis/tevaluation.h"
#include "ui/dialogs.h"
#include "ui/help.h"
#include "data/session.h"
#include "app/startup_config.h"
#include "ui/taboutbox.h"
#include "app/tchoixedition.h"
#include "app/tmultiples.h"
#include "app/tprincipale.h"
#include "app/trestauration.h"
#include "ui/tprogression.h"
#include "ui/windows.h"
#include "collection/tinventaire.h"
#include "collection/trecherche_de_cartes.h"
#include "collection/tvisualisation.h"
#include "search/tfrm_rechercher.h"
#include "search/tresultatrecherche.h"
#include "update/timportation.h"
#include "update/tmiseajour.h"
#include "data/card_table.h"
#include "data/error.h"
#include "paradox/paradox_reader_process.h"
#include "paradox/paradox_table.h"
#include "data/table.h"
#include "exchange/techange.h"
#include "exchange/tseuil.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>

#include <memory>

namespace {

constexpr int StatusNoDatabase = 1;
constexpr int StatusBadDatabase = 2;
constexpr int StatusNotConverted = 3;

// The session outlives the windows that refer to it; the main window owns
// every other window as their parent.
struct Program {
    std::unique_ptr<Session> session;
    std::unique_ptr<TPrincipale> principale;
};

Program &program()
{
    static Program instance;
    return instance;
}

// Proves that the card table can be opened; the engine's French message
// when it cannot. The user's own table is checked by its header and layout
// (SQLite checks every page it reads later), recovered by SQLite when a
// killed write left its journal, and switched to WAL only once its layout is
// right, so a file that is not a card table is left exactly as it was.
QString tryOpenCardTable(Session &session)
{
    session.table.close();
    Table trial(&session.database1);
    trial.setTableName(card::TableFile);
    trial.setRequiredFields(card::fieldNames());
    try {
        trial.open();
        trial.close();
    } catch (const AppError &e) {
        return e.message();
    } catch (const std::exception &e) {
        return QString::fromLocal8Bit(e.what());
    }
    return QString();
}

// A CARTES.DB kept in the older Paradox format is not opened as a database:
// with the user's leave it is converted in place (the original kept beside
// it as CARTES.DB.paradox). False when the program must end: the user said
// No (nothing changed) or the conversion failed (its message shown).
bool offerParadoxConversion(const QString &directory, Progress &progress, int &status)
{
    const QString path = QDir(directory).filePath(card::TableFile);
    if (tableFileFormat(path) != TableFileFormat::Paradox)
        return true;
    const QString question =
        QStringLiteral("La table des cartes %1 est dans l'ancien format Paradox. Voulez-vous la convertir ? "
                       "L'original sera gardé sous le nom %2.")
            .arg(QDir::toNativeSeparators(path), card::TableFile + QStringLiteral(".paradox"));
    if (dialogs().ask(nullptr, question, 0) != Dialogs::Answer::Yes) {
        status = StatusNotConverted;
        return false;
    }
    try {
        // Read apart by the helper program: a table that crashes the reader
        // leaves the program, and the table, as they were.
        runParadoxReader({QStringLiteral("--from-paradox"), path, directory}, path, progress);
    } catch (const AppError &e) {
        showError(e.message());
        status = StatusBadDatabase;
        return false;
    }
    return true;
}

void centre(QWidget *window)
{
    if (QScreen *screen = QGuiApplication::primaryScreen())
        window->move(screen->availableGeometry().center() - window->rect().center());
}

} // namespace

StartupOptions defaultStartupOptions()
{
    StartupOptions options;
    options.configurationFile = startup::configurationFile();
    options.defaultDirectory = startup::defaultDatabaseDirectory();
    options.executableDir = startup::executableDirectory();
    options.sharedDataDir = startup::sharedDataDirectory(options.executableDir);
    options.helpFile = QDir(options.executableDir).filePath(QStringLiteral("AIDE.HLP"));
    // An installed program keeps its help file in share/tabrix.
    if (!QFileInfo::exists(options.helpFile) && !options.sharedDataDir.isEmpty())
        options.helpFile = QDir(options.sharedDataDir).filePath(QStringLiteral("AIDE.HLP"));
    return options;
}

QString startupErrorMessage(const QString &configurationFile)
{
    return QStringLiteral("Attention, impossible de trouver les bases de données. Vérifiez que le "
                          "fichier %1 référence bien le repertoire où le programme est installé.")
        .arg(QDir::toNativeSeparators(configurationFile));
}

int startUp(const StartupOptions &options)
{
    shutDown();
    Windows &registry = windows();
    Program &state = program();

    QCoreApplication::setApplicationName(QStringLiteral("Tabrix"));

    state.session = std::make_unique<Session>();
    Session &session = *state.session;
    registry.session = &session;

    // Windows 1 to 4: the main window, the progress window, the search
    // window and its result grid.
    state.principale = std::make_unique<TPrincipale>(session);
    TPrincipale *principale = state.principale.get();
    registry.principale = principale;
    registry.selectEdition = [principale](const QString &edition) { principale->selectEdition(edition); };
    registry.progression = new TProgression(principale);
    registry.frmRechercher = new TFrm_Rechercher(session, principale);
    registry.resultatRecherche = new TResultatRecherche(principale);

    help::setHelpFile(options.helpFile);

    const QString configured =
        startup::readDatabaseDirectory(options.configurationFile, options.defaultDirectory);
    session.setDatabaseDirectory(configured);

    startup::DirectoryChoice choice =
        startup::chooseDatabaseDirectory(configured, options.executableDir);
    // An installed program: no tables beside it, the demo tables copied
    // once from share/tabrix into the user's default folder.
    if (choice.fallback && !startup::cardTableExists(choice.directory)
        && !options.sharedDataDir.isEmpty()) {
        const QString userCopy =
            startup::userCopyOfSharedTables(options.sharedDataDir, options.defaultDirectory);
        if (!userCopy.isEmpty())
            choice.directory = userCopy;
    }
    if (choice.configuredIsFile)
        dialogs().inform(nullptr, startup::pathIsFileMessage(options.configurationFile, configured), 2);
    int conversionStatus = 0;
    if (!offerParadoxConversion(choice.fallback ? choice.directory : session.databaseDirectory(),
                                *registry.progression, conversionStatus)) {
        shutDown();
        return conversionStatus;
    }
    if (choice.fallback) {
        // The configuration file is left as it is.
        session.setDatabaseDirectory(choice.directory);
        if (!tryOpenCardTable(session).isEmpty()) {
            dialogs().inform(nullptr, startupErrorMessage(options.configurationFile), 2);
            shutDown();
            return StatusNoDatabase;
        }
    } else {
        // A table that is there but cannot be read (damaged, empty, another
        // layout) ends the program before any window is shown.
        const QString message = tryOpenCardTable(session);
        if (!message.isEmpty()) {
            showError(message);
            shutDown();
            return StatusBadDatabase;
        }
    }

    // The engine's index of English lookups, on a table written without it.
    card::ensureLookupIndex(session.database1.resolveTable(card::TableFile));

    // The about box is the splash while the slower windows are made.
    auto *aboutBox = new TAboutBox(principale);
    registry.aboutBox = aboutBox;
    aboutBox->showAsSplash();

    auto *entry = new TRecherche_De_Cartes(session, principale);
    registry.rechercheDeCartes = entry;
    entry->FormShow();

    registry.analyse = new TAnalyse(session, principale);
    registry.analyseDefilement = new TAnalyse_Defilement(principale);
    registry.evaluation = new TEvaluation(session, principale);
    registry.inventaire = new TInventaire(session, principale);
    registry.multiples = new TMultiples(session, principale);
    registry.echange = new TEchange(session, principale);
    registry.miseAJour = new TMiseAJour(session, principale);
    registry.importation = new TImportation(principale);
    registry.choixEdition = new TChoixEdition(session, principale);
    registry.seuil = new TSeuil(session, principale);
    registry.visualisation = new TVisualisation(session, principale);
    registry.restauration = new TRestauration(session, principale);
    registry.completude = new TCompletude(session, principale);

    aboutBox->endSplash();
    return 0;
}

int runMainWindow()
{
    TPrincipale *principale = program().principale.get();
    if (!principale)
        return StatusNoDatabase;
    centre(principale);
    principale->show();
    return QApplication::exec();
}

void shutDown()
{
    Program &state = program();
    state.principale.reset();
    state.session.reset();
    windows() = Windows{};
}

int runTabrix()
{
    // Qt's own texts (file dialogs, context menus) in French when the
    // system has the translations.
    auto *translator = new QTranslator(qApp);
    if (translator->load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    help::installF1Handler(*qApp);
    int status = startUp(defaultStartupOptions());
    if (status == 0)
        status = runMainWindow();
    shutDown();
    return status;
}
