#include "exchange/techange.h"

#include "data/session.h"
#include "exchange/exchange_table.h"
#include "ui/dialogs.h"

#include "ui_echange.h"

#include <QApplication>
#include <QDir>

namespace {
constexpr int EchangeHelpContext = 16;

// The hourglass while the table is written, gone before any message.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

QString cardsToExchange(int rows)
{
    if (rows == 0)
        return QStringLiteral("aucune carte à échanger : aucune carte n'est échangeable ni recherchée");
    if (rows == 1)
        return QStringLiteral("1 carte à échanger");
    return QStringLiteral("%1 cartes à échanger").arg(rows);
}
} // namespace

TEchange::TEchange(Session &session, QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::Echange>())
    , m_session(session)
{
    ui->setupUi(this);
    setFixedSize(435, 94);
}

TEchange::~TEchange() = default;

bool TEchange::Creation()
{
    int rows = 0;
    QString path;
    const bool written = runCommand([&] {
        WaitCursor busy;
        path = exchange::exchangeTablePath(m_session, m_installedTable);
        rows = exchange::writeSessionExchangeTable(m_session, m_installedTable);
    });
    close();
    if (written)
        dialogs().inform(parentWidget(),
                         QStringLiteral("Le fichier des échanges %1 est prêt : %2.")
                             .arg(QDir::toNativeSeparators(path), cardsToExchange(rows)),
                         EchangeHelpContext);
    return written;
}
