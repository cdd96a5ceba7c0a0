// tabrix-bench DIR OPERATION...
// Runs named operations headless on the table files of DIR, through the same
// code as the menu commands, and prints "<operation> <seconds> s" for each.
#include "analysis/valuation.h"
#include "app/counts_reset.h"
#include "app/multiples.h"
#include "data/progress.h"
#include "data/session.h"
#include "app/startup.h"
#include "collection/inventory.h"
#include "collection/trecherche_de_cartes.h"
#include "ui/windows.h"
#include "data/error.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <functional>
#include <map>

namespace {

int usage()
{
    std::fprintf(stderr,
                 "usage: tabrix-bench DIR OPERATION...\n"
                 "operations: reset startup valuation inventory multiples keys\n");
    return 2;
}

// Types lines spread over the French (or English) box of the card entry
// window key by key, as the user does: each key looks the text up and
// refreshes the completion popup. Prints the mean and the slowest key.
void typeLines(const char *name, const char *box)
{
    auto *entry = windows().rechercheDeCartes;
    auto *combo = entry->findChild<QComboBox *>(QLatin1String(box));
    entry->show();
    combo->setFocus();
    constexpr int Lines = 20;
    qint64 keys = 0, total = 0, slowest = 0;
    for (int i = 0; i < Lines && combo->count() > 0; ++i) {
        const QString line = combo->itemText(int(qint64(i) * combo->count() / Lines));
        combo->lineEdit()->clear();
        for (const QChar c : line) {
            QElapsedTimer key;
            key.start();
            combo->lineEdit()->insert(QString(c));
            QCoreApplication::processEvents();
            const qint64 ns = key.nsecsElapsed();
            ++keys;
            total += ns;
            slowest = qMax(slowest, ns);
        }
    }
    std::printf("%s: %lld keys, mean %.2f ms, slowest %.2f ms\n", name, keys, keys ? total / 1e6 / keys : 0.0,
                slowest / 1e6);
    entry->hide();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2)
        return usage();
    const QString dir = QDir(args.first()).absolutePath();

    Session session;
    session.setDatabaseDirectory(dir);
    QTemporaryDir scratch;
    NoProgress noProgress;

    const std::map<QString, std::function<void()>> operations = {
        {QStringLiteral("reset"), [&] { resetAllCounts(session, noProgress); }},
        {QStringLiteral("startup"),
         [&] {
             StartupOptions options = defaultStartupOptions();
             options.configurationFile = scratch.filePath(QStringLiteral("absent.ini"));
             options.defaultDirectory = dir;
             if (startUp(options) != 0)
                 throw AppError(QStringLiteral("Le démarrage a échoué."));
             shutDown();
         }},
        {QStringLiteral("keys"),
         [&] {
             StartupOptions options = defaultStartupOptions();
             options.configurationFile = scratch.filePath(QStringLiteral("absent.ini"));
             options.defaultDirectory = dir;
             if (startUp(options) != 0)
                 throw AppError(QStringLiteral("Le démarrage a échoué."));
             typeLines("keys-french", "ComboBox1");
             typeLines("keys-english", "ComboBox2");
             shutDown();
         }},
        {QStringLiteral("valuation"), [&] { evaluateCollection(session.cardSource()); }},
        {QStringLiteral("inventory"),
         [&] {
             InventoryCriteria allOfGreen;
             fillInventory(session.cardSource(), allOfGreen,
                           scratch.filePath(QStringLiteral("FICHIER.TXT")));
         }},
        {QStringLiteral("multiples"), [&] { multiplesLines(session.cardSource(), 2); }},
    };

    for (const QString &name : args.mid(1)) {
        const auto operation = operations.find(name);
        if (operation == operations.end())
            return usage();
        QElapsedTimer timer;
        timer.start();
        try {
            operation->second();
        } catch (const AppError &e) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(name), qPrintable(e.message()));
            return 1;
        }
        std::printf("%s %.3f s\n", qPrintable(name), timer.nsecsElapsed() / 1e9);
        std::fflush(stdout);
    }
    return 0;
}
