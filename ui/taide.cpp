#include "ui/taide.h"

#include "ui_aide.h"

#include <QListWidgetItem>

TAide::TAide(const HelpTopics &topics, QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::Aide>())
    , m_topics(topics)
{
    ui->setupUi(this);
    for (const auto &[context, topic] : m_topics) {
        auto *item = new QListWidgetItem(topic.title, ui->Rubriques);
        item->setData(Qt::UserRole, context);
    }
    connect(ui->Rubriques, &QListWidget::currentRowChanged, this, &TAide::showRow);
    connect(ui->Fermer, &QPushButton::clicked, this, &QDialog::accept);
}

TAide::~TAide() = default;

void TAide::showContext(int context)
{
    for (int row = 0; row < ui->Rubriques->count(); ++row) {
        if (ui->Rubriques->item(row)->data(Qt::UserRole).toInt() == context) {
            ui->Rubriques->setCurrentRow(row);
            showRow(row);
            return;
        }
    }
    if (ui->Rubriques->count() > 0) {
        ui->Rubriques->setCurrentRow(0);
        showRow(0);
    }
}

void TAide::showRow(int row)
{
    QListWidgetItem *item = ui->Rubriques->item(row);
    if (!item)
        return;
    m_shown = item->data(Qt::UserRole).toInt();
    const auto found = m_topics.find(m_shown);
    if (found != m_topics.end())
        ui->Texte->setHtml(helpTopicHtml(found->second));
}
