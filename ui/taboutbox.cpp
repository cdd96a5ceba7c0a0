#include "ui/taboutbox.h"

#include "ui/centre.h"

#include "ui_aboutbox.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>

namespace {

// The program's picture: a fanned hand of three cards.
QPixmap programIcon()
{
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor faces[] = {QColor(0x2e, 0x7d, 0x32), QColor(0xc6, 0x28, 0x28), QColor(0x15, 0x65, 0xc0)};
    const qreal angles[] = {-20, 0, 20};
    for (int i = 0; i < 3; ++i) {
        painter.save();
        painter.translate(32, 58);
        painter.rotate(angles[i]);
        const QRectF card(-14, -50, 28, 40);
        painter.setPen(QPen(Qt::black, 1.2));
        painter.setBrush(QColor(0xf5, 0xf0, 0xe1));
        painter.drawRoundedRect(card, 3, 3);
        painter.setPen(Qt::NoPen);
        painter.setBrush(faces[i]);
        painter.drawRoundedRect(card.adjusted(3, 3, -3, -3), 2, 2);
        painter.setBrush(QColor(0xf5, 0xf0, 0xe1));
        painter.drawEllipse(card.center(), 6, 6);
        painter.restore();
    }
    return pixmap;
}

} // namespace

TAboutBox::TAboutBox(QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::AboutBox>())
{
    ui->setupUi(this);
    setFixedSize(253, 234);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    ui->ProgramIcon->setPixmap(programIcon());
    ui->Progression->setVisible(false);
    ui->Progression->setValue(0);
    connect(ui->OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

TAboutBox::~TAboutBox() = default;

QProgressBar *TAboutBox::progression() const
{
    return ui->Progression;
}

QPushButton *TAboutBox::okButton() const
{
    return ui->OKButton;
}

void TAboutBox::showAsSplash()
{
    ui->OKButton->setVisible(false);
    ui->Progression->setVisible(true);
    centreOnScreen(this);
    show();
    QCoreApplication::processEvents();
}

void TAboutBox::endSplash()
{
    ui->OKButton->setVisible(true);
    ui->Progression->setVisible(false);
    close();
}
