#include "collection/trecherche_de_cartes.h"

#include "ui_recherche_de_cartes.h"

#include "ui/dialogs.h"
#include "data/session.h"
#include "ui/taboutbox.h"
#include "ui/tprogression.h"
#include "ui/windows.h"
#include "collection/card_lookup.h"
#include "collection/name_list_model.h"
#include "collection/name_lists.h"
#include "collection/tvisualisation.h"
#include "data/card_table.h"

#include <QCompleter>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QSignalBlocker>

#include <algorithm>

namespace {

// Lets the window system repaint the gauge now and then: after every row
// would make the pass several times slower on a large catalogue.
class EventPump
{
public:
    void row()
    {
        if (++m_rows % 256 == 0)
            QCoreApplication::processEvents();
    }

private:
    quint64 m_rows = 0;
};

// At start-up the about box is the splash: its gauge moves once every ten
// rows of the card source, then once per owned row. The bar itself is set
// when the window system gets its turn, which is all one sees of it.
class SplashProgress : public ListProgress
{
public:
    explicit SplashProgress(QProgressBar *gauge) : m_gauge(gauge) {}
    void begin(qint64, qint64 sourceRows) override
    {
        m_gauge->setRange(0, int(qMin<qint64>(sourceRows / 10, INT_MAX)));
        m_gauge->setValue(0);
    }
    void sourceRow() override
    {
        if (++m_rows % PumpRows == 0)
            show(m_rows / 10);
    }
    void ownedPassStarted(qint64 ownedRows) override
    {
        m_gauge->setRange(0, int(qMin<qint64>(ownedRows, INT_MAX)));
        m_gauge->setValue(0);
        m_rows = 0;
    }
    void ownedRow() override
    {
        if (++m_rows % PumpRows == 0)
            show(m_rows);
    }
    void ownedRowsCounted(qint64 rows) override
    {
        m_rows += rows;
        show(m_rows);
    }
    void end() override {}

private:
    // Letting the window system repaint after every row would make the pass
    // several times slower on a large catalogue.
    static constexpr qint64 PumpRows = 1024;
    void show(qint64 value)
    {
        m_gauge->setValue(int(qMin<qint64>(value, m_gauge->maximum())));
        QCoreApplication::processEvents();
    }

    QProgressBar *m_gauge;
    qint64 m_rows = 0;
};

// Later the progress window shows both passes as one.
class WindowProgress : public ListProgress
{
public:
    explicit WindowProgress(Progress &progress) : m_progress(progress) {}
    void begin(qint64 ownedRows, qint64 sourceRows) override
    {
        m_progress.setMaximum(int(qMin<qint64>(ownedRows + sourceRows, INT_MAX)));
        m_progress.show();
    }
    void sourceRow() override
    {
        m_progress.advance();
        m_pump.row();
    }
    void ownedPassStarted(qint64) override {}
    void ownedRow() override
    {
        m_progress.advance();
        m_pump.row();
    }
    void ownedRowsCounted(qint64 rows) override
    {
        for (qint64 i = 0; i < rows; ++i)
            m_progress.advance();
    }
    // Hidden also after an error, so no gauge is left on screen.
    void end() override { m_progress.hide(); }

private:
    Progress &m_progress;
    EventPump m_pump;
};

// Puts a new list into a box's model in one go and keeps the text typed.
void setLines(QComboBox *box, NameListModel *model, NameList lines)
{
    const QSignalBlocker blocker(box);
    const QString text = box->currentText();
    model->setList(std::move(lines));
    box->setCurrentIndex(-1);
    box->setEditText(text);
}

void setupNameBox(QComboBox *box, NameListModel *model)
{
    box->setModel(model);
    if (auto *view = qobject_cast<QListView *>(box->view())) {
        view->setUniformItemSizes(true);
        // A long line keeps its edition in sight: letters go in the middle.
        view->setTextElideMode(Qt::ElideMiddle);
    }
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    // The default completer fills in the rest of a line as one types, which
    // would look up a card the user did not type; a case-insensitive popup
    // only proposes lines. It is given the lines starting with the text
    // typed, found by a binary search in the sorted list.
    auto *matches = new LineMatchesModel(*model, box);
    QObject::connect(box->lineEdit(), &QLineEdit::textEdited, matches, &LineMatchesModel::setTyped);
    auto *completer = new QCompleter(matches, box);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    completer->setFilterMode(Qt::MatchStartsWith);
    // Every row given starts with the text typed: told they are sorted, the
    // completer finds them by a binary search instead of reading them all.
    completer->setModelSorting(QCompleter::CaseInsensitivelySortedModel);
    completer->setMaxVisibleItems(16);
    if (auto *popup = qobject_cast<QListView *>(completer->popup())) {
        popup->setUniformItemSizes(true);
        popup->setTextElideMode(Qt::ElideMiddle);
    }
    box->setCompleter(completer);
}

} // namespace

TRecherche_De_Cartes::TRecherche_De_Cartes(Session &session, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Recherche_De_Cartes>()), m_session(session),
      m_frenchModel(new NameListModel(this)), m_englishModel(new NameListModel(this))
{
    ui->setupUi(this);
    setFixedSize(427, 397);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    setupNameBox(ui->ComboBox1, m_frenchModel);
    setupNameBox(ui->ComboBox2, m_englishModel);
    ui->ComboBox1->installEventFilter(this);
    ui->ComboBox2->installEventFilter(this);
    connect(ui->ComboBox1, &QComboBox::editTextChanged, this, &TRecherche_De_Cartes::ComboBox1Exit);
    connect(ui->ComboBox2, &QComboBox::editTextChanged, this, &TRecherche_De_Cartes::ComboBox2Exit);

    for (QSpinBox *spin : {ui->SpinEdit1, ui->SpinEdit2, ui->SpinEdit3, ui->SpinEdit4}) {
        spin->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
        spin->installEventFilter(this);
    }

    connect(ui->Valider, &QPushButton::clicked, this, &TRecherche_De_Cartes::ValiderClick);
    connect(ui->Fermer, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TRecherche_De_Cartes::BitBtn1Click);
}

TRecherche_De_Cartes::~TRecherche_De_Cartes() = default;

void TRecherche_De_Cartes::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

bool TRecherche_De_Cartes::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        // Only leaving the box for another control of this window is an exit:
        // an error box or a popup taking the focus must not look the line up
        // again (a failed lookup would show its error a second time).
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return QDialog::eventFilter(watched, event);
        if (watched == ui->ComboBox1)
            ComboBox1Exit();
        else if (watched == ui->ComboBox2)
            ComboBox2Exit();
    } else if (event->type() == QEvent::KeyPress) {
        // SpinEdit1KeyDown, shared by the four count fields: Enter validates.
        auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && (watched == ui->SpinEdit1 || watched == ui->SpinEdit2 || watched == ui->SpinEdit3
                      || watched == ui->SpinEdit4)) {
            ValiderClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TRecherche_De_Cartes::FormShow()
{
    if (m_frenchModel->rowCount() == 0) {
        runCommand([this] { Prepare_Listes(); });
        return;
    }
    ui->ComboBox1->setFocus();
}

void TRecherche_De_Cartes::Prepare_Listes()
{
    TAboutBox *aboutBox = windows().aboutBox;
    const bool splash = aboutBox && aboutBox->isVisible();

    setLines(ui->ComboBox1, m_frenchModel, {});
    setLines(ui->ComboBox2, m_englishModel, {});

    NoProgress noProgress;
    Progress *window = windows().progression ? static_cast<Progress *>(windows().progression) : &noProgress;
    SplashProgress splashProgress(splash ? aboutBox->progression() : nullptr);
    WindowProgress windowProgress(*window);
    ListProgress &progress = splash ? static_cast<ListProgress &>(splashProgress) : windowProgress;

    NameLists lists = prepareNameLists(m_session, progress);
    setLines(ui->ComboBox1, m_frenchModel, std::move(lists.french));
    setLines(ui->ComboBox2, m_englishModel, std::move(lists.english));
    setWindowTitle(listsCaption(lists.owned, lists.total, lists.copies));
}

void TRecherche_De_Cartes::ComboBox1Exit()
{
    runCommand([this] {
        if (const auto card = lookupFrench(m_session.query1, ui->ComboBox1->currentText())) {
            const QSignalBlocker blocker(ui->ComboBox2);
            ui->ComboBox2->setEditText(card::cardLine(card->english, card->edition));
            showDetails(*card);
        }
    });
}

void TRecherche_De_Cartes::ComboBox2Exit()
{
    runCommand([this] {
        if (const auto card = lookupEnglish(m_session.query1, ui->ComboBox2->currentText())) {
            const QSignalBlocker blocker(ui->ComboBox1);
            ui->ComboBox1->setEditText(card::cardLine(card->french, card->edition));
            showDetails(*card);
        }
    });
}

void TRecherche_De_Cartes::showDetails(const CardDetails &card)
{
    showRarity(card.rarete);
    ui->Edit1->setText(card.cote);
    ui->Edit2->setText(card.type);
    showColour(card.couleur);
    ui->Edit5->setText(card.cout);
    ui->Edit3->setText(card.force);
    ui->Edit4->setText(card.endurance);
    showCount(ui->SpinEdit1, card.dispo);
    showCount(ui->SpinEdit2, card.utilise);
    showCount(ui->SpinEdit3, card.echangeable);
    showCount(ui->SpinEdit4, card.cherche);
    m_shownKey = card.key();
    ui->BitBtn1->setEnabled(true);
}

void TRecherche_De_Cartes::showCount(QSpinBox *spin, qint64 count)
{
    // Counts are entered from 0 to 99, but a table may hold more: the field
    // then reaches up to the stored count, so that "Valider" never writes a
    // smaller number than the one the user left untouched.
    spin->setMaximum(int(std::clamp<qint64>(count, CountLimit, INT_MAX)));
    spin->setValue(int(std::clamp<qint64>(count, 0, INT_MAX)));
}

void TRecherche_De_Cartes::showRarity(const QString &rarete)
{
    // Another code leaves the buttons as they were.
    if (rarete == QLatin1String("C"))
        ui->RadioButton1->setChecked(true);
    else if (rarete == QLatin1String("U"))
        ui->RadioButton3->setChecked(true);
    else if (rarete == QLatin1String("R"))
        ui->RadioButton2->setChecked(true);
}

void TRecherche_De_Cartes::showColour(const QString &couleur)
{
    const std::pair<const char *, QRadioButton *> buttons[] = {
        {"Rge", ui->RadioButton4}, {"Noi", ui->RadioButton5}, {"Ble", ui->RadioButton6},
        {"Bla", ui->RadioButton7}, {"Ver", ui->RadioButton8}, {"Or", ui->RadioButton9},
    };
    // An exclusive radio button cannot be unchecked by itself, and a code
    // with no button ("Inc") must show none checked.
    for (const auto &[code, button] : buttons) {
        button->setAutoExclusive(false);
        button->setChecked(couleur == QLatin1String(code));
    }
    for (const auto &[code, button] : buttons)
        button->setAutoExclusive(true);
}

int TRecherche_De_Cartes::countOf(QSpinBox *spin) const
{
    // A text that is not a number counts as 0; others are brought to 0..99.
    bool ok = false;
    const int value = spin->cleanText().trimmed().toInt(&ok);
    const int count = ok ? qBound(spin->minimum(), value, spin->maximum()) : 0;
    spin->setValue(count);
    return count;
}

void TRecherche_De_Cartes::ValiderClick()
{
    runCommand([this] {
        CardCounts counts;
        counts.dispo = countOf(ui->SpinEdit1);
        counts.utilise = countOf(ui->SpinEdit2);
        counts.echangeable = countOf(ui->SpinEdit3);
        counts.cherche = countOf(ui->SpinEdit4);
        writeCard(m_session.table, ui->ComboBox1->currentText(), ui->ComboBox2->currentText(),
                  ui->Edit1->text(), counts);
    });
    FormShow();
}

void TRecherche_De_Cartes::emptyFrenchList()
{
    setLines(ui->ComboBox1, m_frenchModel, {});
}

void TRecherche_De_Cartes::showCard(const QString &frenchLine)
{
    {
        const QSignalBlocker blocker(ui->ComboBox1);
        ui->ComboBox1->setEditText(frenchLine);
    }
    ComboBox1Exit();
    exec();
}

void TRecherche_De_Cartes::BitBtn1Click()
{
    if (m_shownKey.isEmpty() || !windows().visualisation)
        return;
    windows().visualisation->showCard(m_shownKey);
}

QStringList TRecherche_De_Cartes::frenchLines() const
{
    return m_frenchModel->list().lines();
}

QStringList TRecherche_De_Cartes::englishLines() const
{
    return m_englishModel->list().lines();
}
