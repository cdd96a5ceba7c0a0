#include "update/timportation.h"

#include "ui_importation.h"

#include "ui/print_action.h"

TImportation::TImportation(QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::Importation>())
{
    ui->setupUi(this);
    resize(435, 300);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &QDialog::close);
    addPrintAction(ui->ListBox1, [this] { return listLines(ui->ListBox1); });
}

TImportation::~TImportation() = default;

void TImportation::setReport(const QString &caption, const QStringList &lines)
{
    setWindowTitle(caption);
    ui->ListBox1->clear();
    ui->ListBox1->addItems(lines);
    ui->ListBox1->scrollToTop();
}

QListWidget *TImportation::listBox1() const
{
    return ui->ListBox1;
}
