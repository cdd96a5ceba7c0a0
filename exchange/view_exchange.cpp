#include "exchange/view_exchange.h"

#include "collection/tinventaire.h"
#include "data/session.h"
#include "exchange/received_exchange.h"
#include "ui/dialogs.h"
#include "ui/help.h"

#include <QLabel>
#include <QListWidget>
#include <QScopeGuard>
#include <QVBoxLayout>

namespace exchange {

namespace {

const QString OfferedTitle = QStringLiteral("Cartes proposées : ");
const QString WantedTitle = QStringLiteral("Cartes recherchées : ");

// Gives the inventory window back as it was: its titles, its normal mode,
// its help topic, no summary line.
class Borrowed
{
public:
    explicit Borrowed(TInventaire &inventaire)
        : m_inventaire(inventaire)
        , m_title1(inventaire.label1()->text())
        , m_title2(inventaire.label2()->text())
        , m_helpContext(inventaire.property("helpContext"))
    {
        // F1 tells about the received file, not about the usual lists.
        inventaire.setProperty("helpContext", help::ExchangeViewerContext);
    }
    ~Borrowed()
    {
        m_inventaire.ListesFournies = false;
        m_inventaire.label1()->setText(m_title1);
        m_inventaire.label2()->setText(m_title2);
        m_inventaire.setProperty("helpContext", m_helpContext);
        delete m_summary;
    }
    Borrowed(const Borrowed &) = delete;
    Borrowed &operator=(const Borrowed &) = delete;

    // The summary goes under the two lists, above the close button.
    void setSummary(const QString &text)
    {
        if (m_summary) {
            m_summary->setText(text);
            return;
        }
        auto *layout = qobject_cast<QVBoxLayout *>(m_inventaire.layout());
        if (!layout)
            return;
        m_summary = new QLabel(text, &m_inventaire);
        m_summary->setObjectName(QStringLiteral("ResumeEchange"));
        m_summary->setContentsMargins(8, 4, 8, 4);
        // A reason why the comparison failed may be long.
        m_summary->setWordWrap(true);
        layout->insertWidget(layout->count() - 1, m_summary);
    }

private:
    TInventaire &m_inventaire;
    QString m_title1;
    QString m_title2;
    QVariant m_helpContext;
    QLabel *m_summary = nullptr;
};

// The cards worth a look in bold, the user's own counts in the tooltips.
void mark(QListWidget *list, const std::vector<ReceivedLine> &lines)
{
    for (int row = 0; row < list->count() && row < int(lines.size()); ++row) {
        QListWidgetItem *item = list->item(row);
        item->setToolTip(lines[size_t(row)].toolTip);
        QFont font = item->font();
        font.setBold(lines[size_t(row)].standsOut);
        item->setFont(font);
    }
}

void fill(QListWidget *list, const std::vector<ReceivedLine> &lines)
{
    list->clear();
    for (const ReceivedLine &line : lines)
        list->addItem(line.text);
}

} // namespace

void viewExchangeFile(Session &session, TInventaire &inventaire, QWidget *parent)
{
    Borrowed borrowed(inventaire);
    inventaire.label1()->setText(OfferedTitle);
    inventaire.label2()->setText(WantedTitle);
    inventaire.listBox1()->clear();
    inventaire.listBox2()->clear();

    const QString path = dialogs().openFile(parent, QStringLiteral("Visualiser un fichier d'échanges"),
                                            QString::fromUtf8(ViewerFilter), help::ExchangeViewerContext);
    if (path.isEmpty())
        return;
    ReceivedExchange received;
    if (!runCommand([&] { received = readReceivedExchange(session.tableEchange, path); }))
        return;
    fill(inventaire.listBox1(), received.offered);
    fill(inventaire.listBox2(), received.wanted);
    // The user's whole collection, whatever the edition selection; compared
    // again when a card opened from a line may have changed its counts. The
    // received file is shown whatever becomes of the comparison.
    const auto compare = [&] {
        borrowed.setSummary(compareAndSummarise(received, session));
        mark(inventaire.listBox1(), received.offered);
        mark(inventaire.listBox2(), received.wanted);
    };
    compare();
    const QMetaObject::Connection refresh =
        QObject::connect(&inventaire, &TInventaire::cardEntryClosed, &inventaire, compare);
    const auto disconnect = qScopeGuard([&] { QObject::disconnect(refresh); });
    inventaire.ListesFournies = true;
    inventaire.exec();
}

} // namespace exchange
