#include "collection/tvisualisation.h"

#include "ui_visualisation.h"

#include "ui/dialogs.h"
#include "data/session.h"
#include "collection/card_pictures.h"
#include "collection/jpeg_decoder.h"
#include "data/card_table.h"
#include "data/error.h"

#include <algorithm>

namespace {

// What Dessin holds: a JPEG (decoded by libjpeg) or a BMP picture.
QImage decodePicture(const QByteArray &bytes)
{
    if (looksLikeJpeg(bytes)) {
        const DecodedPicture decoded = decodeJpeg(bytes);
        QImage image(reinterpret_cast<const uchar *>(decoded.rgb.constData()), decoded.width, decoded.height,
                     qsizetype(decoded.width) * 3, QImage::Format_RGB888);
        return image.copy();
    }
    if (bytes.startsWith("BM"))
        return QImage::fromData(bytes, "BMP");
    return {};
}

} // namespace

TVisualisation::TVisualisation(Session &session, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Visualisation>()), m_session(session)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    resize(452, 439);
    connect(ui->NavFirst, &QToolButton::clicked, this, &TVisualisation::First);
    connect(ui->NavPrior, &QToolButton::clicked, this, &TVisualisation::Prior);
    connect(ui->NavNext, &QToolButton::clicked, this, &TVisualisation::Next);
    connect(ui->NavLast, &QToolButton::clicked, this, &TVisualisation::Last);
    connect(ui->NavRefresh, &QToolButton::clicked, this, &TVisualisation::Refresh);
    connect(ui->Button1, &QPushButton::clicked, this, &TVisualisation::Button1Click);
}

TVisualisation::~TVisualisation() = default;

void TVisualisation::showCard(const QStringList &key)
{
    m_key = key;
    bool ok = runCommand([this] { loadKeys(); });
    if (!ok)
        m_keys.clear();
    showCurrent();
    exec();
}

void TVisualisation::loadKeys()
{
    // The card source is a forward-only cursor: its keys are kept so the
    // window can also move backwards, by key on the card table.
    m_keys = datasetKeys(m_session.cardSource());
    const auto found = std::find(m_keys.begin(), m_keys.end(), m_key);
    m_index = found == m_keys.end() ? -1 : found - m_keys.begin();
}

void TVisualisation::First()
{
    moveTo(0);
}

void TVisualisation::Prior()
{
    moveTo(m_index < 0 ? 0 : m_index - 1);
}

void TVisualisation::Next()
{
    moveTo(m_index + 1);
}

void TVisualisation::Last()
{
    moveTo(qsizetype(m_keys.size()) - 1);
}

void TVisualisation::Refresh()
{
    runCommand([this] { loadKeys(); });
    showCurrent();
}

void TVisualisation::moveTo(qsizetype index)
{
    if (index < 0 || index >= qsizetype(m_keys.size()))
        return;
    m_index = index;
    m_key = m_keys[size_t(index)];
    showCurrent();
}

void TVisualisation::showCurrent()
{
    m_picture = QImage();
    ui->Label1->setText(m_key.size() == card::KeyFieldCount
                            ? card::cardLine(m_key.at(card::NomFrancais), m_key.at(card::Origine))
                            : QString());
    QString status = QStringLiteral("Pas d'image");
    if (m_key.size() == card::KeyFieldCount) {
        runCommand([&] {
            const QByteArray bytes = readPicture(m_session.table, m_key);
            if (bytes.isEmpty())
                return;
            try {
                m_picture = decodePicture(bytes);
            } catch (const AppError &) {
                // A damaged picture is shown as such, not as an error box on
                // every move of the navigator.
            }
            if (m_picture.isNull())
                status = QStringLiteral("Image illisible");
        });
    }
    if (m_picture.isNull()) {
        ui->DBImage1->setPixmap(QPixmap());
        ui->DBImage1->setText(status);
    } else {
        scalePicture();
    }
    updateButtons();
}

void TVisualisation::scalePicture()
{
    if (m_picture.isNull())
        return;
    const QSize area = ui->DBImage1->contentsRect().size();
    QImage shown = m_picture;
    if (shown.width() > area.width() || shown.height() > area.height())
        shown = shown.scaled(area, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    ui->DBImage1->setPixmap(QPixmap::fromImage(shown));
}

void TVisualisation::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    scalePicture();
}

void TVisualisation::updateButtons()
{
    const qsizetype count = qsizetype(m_keys.size());
    ui->NavFirst->setEnabled(count > 0 && m_index != 0);
    ui->NavPrior->setEnabled(count > 0 && m_index != 0);
    ui->NavNext->setEnabled(count > 0 && m_index < count - 1);
    ui->NavLast->setEnabled(count > 0 && m_index != count - 1);
    ui->Button1->setEnabled(m_key.size() == card::KeyFieldCount);
}

void TVisualisation::Button1Click()
{
    if (m_key.size() != card::KeyFieldCount)
        return;
    const QString path = dialogs().openFile(this, QStringLiteral("Charger une image"),
                                            QStringLiteral("Fichier image JPEG (*.jpg *.jpeg)|*.jpg;*.jpeg"));
    if (path.isEmpty())
        return;
    if (runCommand([&] { storePictureFile(m_session.table, m_key, path); }))
        showCurrent();
}
