#include "app/startup.h"

#include "analysis/tanalyse.h"
#include "analysis/tanalyse_defilement.h"
#include "analysis/tcompletude.h"
#include "analysis/tevaluation.h"
#include "ui/dialogs.h"
#include "ui/centre.h"
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
#include "update/timportcsv.h"
#include "update/trapportcsv.h"
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

// The exchange table of `directory` when it is a Paradox table, else empty:
// the file itself, a link resolved, so that its conversion is written where
// the link points and the link stays.
QString paradoxExchangeTable(const QString &directory)
{
    const QStringList found = QDir(directory).entryList({card::ExchangeFile}, QDir::Files);
    if (found.isEmpty())
        return QString();
    const QString path = QFileInfo(QDir(directory).filePath(found.first())).canonicalFilePath();
    return !path.isEmpty() && tableFileFormat(path) == TableFileFormat::Paradox ? path : QString();
}

// Converts a Paradox table in place by the helper program, the original kept
// beside it as NAME.paradox: a table that crashes the reader leaves the
// program, and the table, as they were.
void convertInPlace(const QString &path, Progress &progress)
{
    const QFileInfo info(path);
    runParadoxReader({QStringLiteral("--from-paradox"), path, info.absolutePath(), info.fileName()}, path,
                     progress);
}

// Tables kept in the older Paradox format are not opened as databases: with
// the user's leave they are converted in place (each original kept beside it
// as CARTES.DB.paradox, ECHANGE.DB.paradox). The card table and the exchange
// table came together from the older program, so one question covers both.
// False when the program must end: the user said No to a Paradox CARTES.DB
// (nothing changed) or its conversion failed (its message shown). A Paradox
// ECHANGE.DB alone only stops the exchange writer: No, or a failed
// conversion, lets the program start, and the question comes back next time.
bool offerParadoxConversion(const QString &directory, Progress &progress, int &status)
{
    const QString cards = QDir(directory).filePath(card::TableFile);
    const bool oldCards = tableFileFormat(cards) == TableFileFormat::Paradox;
    const QString oldExchange = paradoxExchangeTable(directory);
    if (!oldCards && oldExchange.isEmpty())
        return true;
    const auto kept = [](const QString &path) { return QFileInfo(path).fileName() + QStringLiteral(".paradox"); };
    QString question;
    if (oldCards && !oldExchange.isEmpty())
        question = QStringLiteral("La table des cartes %1 et la table d'échange %2 sont dans l'ancien format "
                                  "Paradox. Voulez-vous les convertir ? Les originaux seront gardés sous les "
                                  "noms %3 et %4.")
                       .arg(QDir::toNativeSeparators(cards), QDir::toNativeSeparators(oldExchange), kept(cards),
                            kept(oldExchange));
    else if (oldCards)
        question = QStringLiteral("La table des cartes %1 est dans l'ancien format Paradox. Voulez-vous la "
                                  "convertir ? L'original sera gardé sous le nom %2.")
                       .arg(QDir::toNativeSeparators(cards), kept(cards));
    else
        question = QStringLiteral("La table d'échange %1 est dans l'ancien format Paradox : le fichier des "
                                  "échanges ne peut pas être généré avec elle. Voulez-vous la convertir ? "
                                  "L'original sera gardé sous le nom %2.")
                       .arg(QDir::toNativeSeparators(oldExchange), kept(oldExchange));
    if (dialogs().ask(nullptr, question, help::ParadoxConversionContext) != Dialogs::Answer::Yes) {
        if (!oldCards)
            return true;
        status = StatusNotConverted;
        return false;
    }
    if (oldCards) {
        try {
            convertInPlace(cards, progress);
        } catch (const AppError &e) {
            showError(e.message());
            status = StatusBadDatabase;
            return false;
        }
    }
    if (!oldExchange.isEmpty()) {
        try {
            convertInPlace(oldExchange, progress);
        } catch (const AppError &e) {
            showError(QStringLiteral("La table d'échange n'a pas été convertie : le fichier des échanges ne "
                                     "pourra pas être généré avec elle.\n%1")
                          .arg(e.message()));
        }
    }
    return true;
}

// The empty exchange table installed with the program: in share/tabrix for
// an installed program, beside the executable in the build tree.
QString installedExchangeTable(const StartupOptions &options)
{
    const QString folder = options.sharedDataDir.isEmpty() ? options.executableDir : options.sharedDataDir;
    return folder.isEmpty() ? QString() : QDir(folder).filePath(card::ExchangeFile);
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
    // The lists are filled as the window's show handler fills them, reading
    // the whole table: one that cannot be read through (damaged pages) ends
    // the program here with the engine's message, before the main window.
    if (!runCommand([entry] { entry->Prepare_Listes(); })) {
        shutDown();
        return StatusBadDatabase;
    }

    registry.analyse = new TAnalyse(session, principale);
    registry.analyseDefilement = new TAnalyse_Defilement(principale);
    registry.evaluation = new TEvaluation(session, principale);
    registry.inventaire = new TInventaire(session, principale);
    registry.multiples = new TMultiples(session, principale);
    registry.echange = new TEchange(session, principale);
    registry.echange->setInstalledTable(installedExchangeTable(options));
    registry.miseAJour = new TMiseAJour(session, principale);
    registry.importation = new TImportation(principale);
    registry.importCsv = new TImportCsv(session, principale);
    registry.rapportCsv = new TRapportCsv(principale);
    registry.choixEdition = new TChoixEdition(session, principale);
    registry.seuil = new TSeuil(session, principale);
    registry.visualisation = new TVisualisation(session, principale);
    auto *restauration = new TRestauration(session, principale);
    registry.restauration = restauration;
    setDamageHandler([restauration](QWidget *parent, const AppError &error) {
        return restauration->offerAfterDamage(parent, error);
    });
    registry.completude = new TCompletude(session, principale);

    aboutBox->endSplash();
    return 0;
}

int runMainWindow()
{
    TPrincipale *principale = program().principale.get();
    if (!principale)
        return StatusNoDatabase;
    centreOnScreen(principale);
    principale->show();
    return QApplication::exec();
}

void shutDown()
{
    setDamageHandler({});
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
