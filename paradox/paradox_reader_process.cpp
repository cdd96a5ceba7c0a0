#include "paradox/paradox_reader_process.h"

#include "data/error.h"
#include "data/progress.h"
#include "data/table.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

constexpr int SilenceLimitMs = 60'000;
// Standard error keeps its last bytes only: the message is its last line.
constexpr qsizetype ErrorTail = 16 * 1024;

// The folder is a base of the table, so that it outlives the table's own
// teardown (which closes the file).
struct TemporaryFolder {
    QTemporaryDir folder;
};

class ParadoxCopy : private TemporaryFolder, public Table
{
public:
    QString folderPath() const { return folder.isValid() ? folder.path() : QString(); }
};

QString lastLine(const QByteArray &bytes)
{
    const QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return lines.isEmpty() ? QString() : lines.last().trimmed();
}

} // namespace

QString paradoxReaderProgram()
{
    const QString folder =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    return QDir(folder).filePath(QStringLiteral("tabrix-makedb"));
}

void runParadoxReader(const QStringList &arguments, const QString &paradoxPath, Progress &progress)
{
    runReaderProcess(paradoxReaderProgram(), arguments, paradoxPath, progress, SilenceLimitMs);
}

void runReaderProcess(const QString &program, const QStringList &arguments, const QString &paradoxPath,
                      Progress &progress, int silenceLimitMs)
{
    const QString shown = QDir::toNativeSeparators(paradoxPath);
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.start(QIODevice::ReadOnly);
    if (!process.waitForStarted(SilenceLimitMs))
        throw AppError(QStringLiteral("La table Paradox %1 ne peut pas être lue : le programme de lecture %2 "
                                      "ne démarre pas (%3).")
                           .arg(shown, QDir::toNativeSeparators(program), process.errorString()));

    progress.setMaximum(100);
    progress.show();
    static const QRegularExpression percentLine(QStringLiteral(" : (\\d+) %$"));
    QByteArray output;
    QByteArray errors;
    int done = 0;
    QElapsedTimer silence;
    silence.start();
    while (process.state() != QProcess::NotRunning) {
        const bool spoke = process.waitForReadyRead(200);
        errors += process.readAllStandardError();
        if (errors.size() > ErrorTail)
            errors = errors.right(ErrorTail);
        if (spoke) {
            silence.restart();
            output += process.readAllStandardOutput();
            // Progress lines end with "\r" (the next one) or "\n".
            const qsizetype end = std::max(output.lastIndexOf('\r'), output.lastIndexOf('\n'));
            if (end >= 0) {
                const QList<QByteArray> lines = output.left(end).split('\r');
                for (const QByteArray &line : lines) {
                    const QRegularExpressionMatch match = percentLine.match(QString::fromUtf8(line.trimmed()));
                    const int percent = match.hasMatch() ? std::min(100, match.captured(1).toInt()) : done;
                    for (; done < percent; ++done)
                        progress.advance();
                }
                output = output.mid(end);
            }
        } else if (silence.elapsed() > silenceLimitMs) {
            process.kill();
            process.waitForFinished();
            progress.hide();
            throw AppError(QStringLiteral("La table Paradox %1 ne peut pas être lue : le programme de lecture ne "
                                          "répond plus et a été arrêté. Rien n'a été modifié.")
                               .arg(shown));
        }
    }
    errors += process.readAllStandardError();
    progress.hide();
    if (process.exitStatus() == QProcess::CrashExit)
        throw AppError(QStringLiteral("La table Paradox %1 ne peut pas être lue : le programme de lecture s'est "
                                      "arrêté brutalement, le fichier est sans doute endommagé. Rien n'a été "
                                      "modifié.")
                           .arg(shown));
    if (process.exitCode() != 0) {
        const QString message = lastLine(errors);
        throw AppError(message.isEmpty()
                           ? QStringLiteral("La table Paradox %1 ne peut pas être lue (code %2).")
                                 .arg(shown)
                                 .arg(process.exitCode())
                           : message);
    }
}

std::unique_ptr<Dataset> openParadoxCopy(const QString &paradoxPath)
{
    auto copy = std::make_unique<ParadoxCopy>();
    if (copy->folderPath().isEmpty())
        throw AppError(QStringLiteral("La table Paradox %1 ne peut pas être lue : pas de dossier temporaire.")
                           .arg(QDir::toNativeSeparators(paradoxPath)));
    const QString file = QDir(copy->folderPath()).filePath(QStringLiteral("COPIE.DB"));
    NoProgress progress;
    runParadoxReader({QStringLiteral("--copy-paradox"), paradoxPath, file}, paradoxPath, progress);
    copy->setTableName(file);
    copy->setUntrusted(true);
    return copy;
}
