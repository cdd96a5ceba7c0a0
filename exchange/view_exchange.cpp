#include "exchange/view_exchange.h"

#include "collection/tinventaire.h"
#include "data/session.h"
#include "exchange/received_exchange.h"
#include "ui/dialogs.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace exchange {

namespace {

const QString OfferedTitle = QStringLiteral("Cartes proposées : ");
const QString WantedTitle = QStringLiteral("Cartes recherchées : ");

// Gives the inventory window back as it was: its titles, its normal mode,
// no summary line.
class Borrowed
{
public:
    explicit Borrowed(TInventaire &inventaire)
        : m_inventaire(inventaire)
        , m_title1(inventaire.label1()->text())
        , m_title2(inventaire.label2()->text())
    {
    }
    ~Borrowed()
    {
        m_inventaire.ListesFournies = false;
        m_inventaire.label1()->setText(m_title1);
        m_inventaire.label2()->setText(m_title2);
        delete m_summary;
    }
    Borrowed(const Borrowed &) = delete;
    Borrowed &operator=(const Borrowed &) = delete;

    // The summary goes under the two lists, above the close button.
    void showSummary(const QString &text)
    {
        auto *layout = qobject_cast<QVBoxLayout *>(m_inventaire.layout());
        if (!layout)
            return;
        m_summary = new QLabel(text, &m_inventaire);
        m_summary->setObjectName(QStringLiteral("ResumeEchange"));
        m_summary->setContentsMargins(8, 4, 8, 4);
        layout->insertWidget(layout->count() - 1, m_summary);
    }

private:
    TInventaire &m_inventaire;
    QString m_title1;
    QString m_title2;
    QLabel *m_summary = nullptr;
};

void fill(QListWidget *list, const std::vector<ReceivedLine> &lines)
{
    list->clear();
    for (const ReceivedLine &line : lines) {
        auto *item = new QListWidgetItem(line.text, list);
        item->setToolTip(line.toolTip);
        if (line.standsOut) {
            QFont font = item->font();
            font.setBold(true);
            item->setFont(font);
        }
    }
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
                                            QString::fromUtf8(ViewerFilter));
    if (path.isEmpty())
        return;
    ReceivedExchange received;
    const bool read = runCommand([&] {
        received = readReceivedExchange(session.tableEchange, path);
        // The user's whole collection, whatever the edition selection.
        compareWithCollection(received, session);
    });
    if (!read)
        return;
    fill(inventaire.listBox1(), received.offered);
    fill(inventaire.listBox2(), received.wanted);
    borrowed.showSummary(summaryLine(received));
    inventaire.ListesFournies = true;
    inventaire.exec();
}

} // namespace exchange
