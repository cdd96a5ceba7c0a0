#include "ui/dialogs.h"
#include "data/session.h"
#include "ui/taboutbox.h"
#include "ui/tprogression.h"
#include "ui/windows.h"
#include "collection/card_pictures.h"
#include "collection/tinventaire.h"
#include "collection/trecherche_de_cartes.h"
#include "collection/tvisualisation.h"
#include "data/card_table.h"
#include "data/table.h"
#include "tests/support/modal_guard.h"
#include "tests/support/printing.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_tables.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QComboBox>
#include <QCompleter>
#include <QAbstractItemView>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

namespace {

// Types text as key presses; QTest::keyClicks takes only ASCII.
void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
}

CardRow coded(CardRow row, const QString &rarete, const QString &couleur, const QVariant &cote = 1.0)
{
    row.rarete = rarete;
    row.couleur = couleur;
    row.cote = cote;
    return row;
}

CardRow withPicture(CardRow row, const QByteArray &picture)
{
    row.dessin = picture;
    return row;
}

// A 6 x 4 green BMP picture.
QByteArray bmp()
{
    QImage image(6, 4, QImage::Format_RGB32);
    image.fill(Qt::green);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

qint64 fieldOf(Session &session, const QStringList &key, int position)
{
    Table &table = session.table;
    table.close();
    table.open();
    EXPECT_TRUE(table.findKey(key));
    const qint64 value = table.field(position).asInteger();
    table.close();
    return value;
}

// The windows of the program, registered as the start-up does, over a
// temporary database; FICHIER.TXT lands in the temporary directory.
class WindowsFixture : public ::testing::Test
{
protected:
    explicit WindowsFixture(const std::vector<CardRow> &rows)
        : tables(rows), previousDir(QDir::currentPath())
    {
        session.setDatabaseDirectory(tables.dir());
        QDir::setCurrent(tables.dir());
        entry = std::make_unique<TRecherche_De_Cartes>(session);
        inventaire = std::make_unique<TInventaire>(session);
        visualisation = std::make_unique<TVisualisation>(session);
        windows().session = &session;
        windows().rechercheDeCartes = entry.get();
        windows().inventaire = inventaire.get();
        windows().visualisation = visualisation.get();
    }
    ~WindowsFixture() override
    {
        windows() = Windows();
        QDir::setCurrent(previousDir);
    }

    template <typename T>
    T *in(QWidget *window, const char *name)
    {
        T *child = window->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    QComboBox *combo1() { return in<QComboBox>(entry.get(), "ComboBox1"); }
    QComboBox *combo2() { return in<QComboBox>(entry.get(), "ComboBox2"); }
    QSpinBox *spin(int n) { return in<QSpinBox>(entry.get(), QByteArray("SpinEdit" + QByteArray::number(n)).constData()); }
    bool checked(const char *radio) { return in<QRadioButton>(entry.get(), radio)->isChecked(); }

    void showEntry()
    {
        entry->show();
        QApplication::setActiveWindow(entry.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(entry.get()));
    }
    ScriptedDialogs dialogs;
    TempTables tables;
    QString previousDir;
    Session session;
    std::unique_ptr<TRecherche_De_Cartes> entry;
    std::unique_ptr<TInventaire> inventaire;
    std::unique_ptr<TVisualisation> visualisation;
};

class CardEntryTest : public WindowsFixture
{
protected:
    CardEntryTest()
        : WindowsFixture({coded(makeCard("Éclair", "Lightning", "Alpha"), "U", "Ble", 2.5),
                          coded(makeCard("Éclair", "Lightning", "Bêta", 1, 1), "X", "Inc"),
                          coded(makeCard("Sort (ancien)", "Old spell", "Alpha"), "R", "Or"),
                          withPicture(makeCard("Le \"Grand\" Ours", "The \"Big\" Bear", "Alpha", 0, 3), bmp())})
    {
    }
};

} // namespace

TEST_F(CardEntryTest, PickByFrenchThenEnglishValidateAndReopen)
{
    showEntry();
    const QString caption = "2/4         - Recherche de cartes -         5";
    EXPECT_EQ(entry->windowTitle(), caption);
    EXPECT_EQ(entry->frenchLines(), QStringList({"Éclair (Alpha)", "Éclair (Bêta)", "Le \"Grand\" Ours (Alpha)",
                                                 "Sort (ancien) (Alpha)"}));
    EXPECT_EQ(combo1()->count(), 4);
    EXPECT_TRUE(combo1()->currentText().isEmpty());
    EXPECT_FALSE(in<QPushButton>(entry.get(), "BitBtn1")->isEnabled());

    combo1()->setFocus();
    typeText(combo1(), QStringLiteral("Éclair (Bêta)"));
    EXPECT_EQ(combo2()->currentText(), "Lightning (Bêta)");
    EXPECT_EQ(spin(1)->value(), 1);
    EXPECT_EQ(spin(2)->value(), 1);
    EXPECT_TRUE(in<QPushButton>(entry.get(), "BitBtn1")->isEnabled());

    // Tab from the French box lands on "Disponible :"; Enter there validates.
    QTest::keyClick(combo1(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), spin(1));
    spin(1)->selectAll();
    QTest::keyClicks(spin(1), "3");
    QTest::keyClick(spin(1), Qt::Key_Return);
    EXPECT_EQ(fieldOf(session, {"Éclair", "Lightning", "Bêta"}, card::Dispo), 3);
    EXPECT_EQ(QApplication::focusWidget(), combo1());
    EXPECT_EQ(entry->windowTitle(), caption);

    // By English line: the French box follows, the other edition shows.
    combo2()->lineEdit()->setText("Lightning (Alpha)");
    EXPECT_EQ(combo1()->currentText(), "Éclair (Alpha)");
    EXPECT_EQ(in<QLineEdit>(entry.get(), "Edit1")->text(), "2.5");
    EXPECT_EQ(spin(1)->value(), 0);
    // Leaving a name box looks its line up again: change the fields after.
    spin(4)->setFocus();
    spin(4)->setValue(2);
    in<QLineEdit>(entry.get(), "Edit1")->setFocus();
    in<QLineEdit>(entry.get(), "Edit1")->setText("3,75");
    QTest::mouseClick(in<QPushButton>(entry.get(), "Valider"), Qt::LeftButton);
    EXPECT_EQ(fieldOf(session, {"Éclair", "Lightning", "Alpha"}, card::Cherche), 2);
    EXPECT_TRUE(dialogs.errors.isEmpty());

    // A new window on the same tables sees the counts and the price kept.
    TRecherche_De_Cartes again(session);
    again.FormShow();
    again.findChild<QComboBox *>("ComboBox1")->setEditText("Éclair (Bêta)");
    EXPECT_EQ(again.findChild<QSpinBox *>("SpinEdit1")->value(), 3);
    again.findChild<QComboBox *>("ComboBox1")->setEditText("Éclair (Alpha)");
    EXPECT_EQ(again.findChild<QSpinBox *>("SpinEdit4")->value(), 2);
    EXPECT_EQ(again.findChild<QLineEdit *>("Edit1")->text(), "3.75");
}

TEST_F(CardEntryTest, TypingProposesTheLinesStartingWithTheTextInAnyCase)
{
    showEntry();
    combo1()->setFocus();
    QCompleter *completer = combo1()->completer();
    const auto proposed = [&] {
        QStringList lines;
        QAbstractItemModel *rows = completer->completionModel();
        while (rows->canFetchMore({}))
            rows->fetchMore({});
        for (int i = 0; i < rows->rowCount(); ++i)
            lines << rows->index(i, 0).data().toString();
        return completer->popup()->isVisible() ? lines : QStringList();
    };
    typeText(combo1(), QStringLiteral("éCL"));
    EXPECT_EQ(proposed(), QStringList({"Éclair (Alpha)", "Éclair (Bêta)"}));
    typeText(combo1(), QStringLiteral("air (b"));
    EXPECT_EQ(proposed(), QStringList({"Éclair (Bêta)"}));
    QTest::keyClick(combo1(), Qt::Key_Escape);

    // Accents count: "ecl" is not "Écl".
    combo1()->lineEdit()->clear();
    typeText(combo1(), QStringLiteral("ecl"));
    EXPECT_TRUE(proposed().isEmpty());

    combo2()->setFocus();
    typeText(combo2(), QStringLiteral("THE"));
    EXPECT_EQ(combo2()->completer()->popup()->isVisible(), true);
    EXPECT_EQ(combo2()->completer()->completionModel()->index(0, 0).data().toString(), "The \"Big\" Bear (Alpha)");
}

TEST_F(CardEntryTest, PriceThatIsNotANumberIsRefusedAndNothingIsPosted)
{
    entry->FormShow();
    combo1()->setEditText("Éclair (Bêta)");
    spin(1)->setValue(9);
    in<QLineEdit>(entry.get(), "Edit1")->setText("douze francs");
    entry->ValiderClick();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors.first().contains("« douze francs » n'est pas un nombre"));
    EXPECT_EQ(fieldOf(session, {"Éclair", "Lightning", "Bêta"}, card::Dispo), 1);
}

TEST_F(CardEntryTest, CountAboveTheEntryRangeIsShownAndKeptByValider)
{
    Table &table = session.table;
    table.open();
    ASSERT_TRUE(table.findKey({"Éclair", "Lightning", "Alpha"}));
    table.edit();
    table.field(card::Dispo).setAsInteger(150);
    table.post();
    table.close();

    entry->FormShow();
    combo1()->setEditText("Éclair (Alpha)");
    EXPECT_EQ(spin(1)->value(), 150);
    entry->ValiderClick();
    EXPECT_EQ(fieldOf(session, {"Éclair", "Lightning", "Alpha"}, card::Dispo), 150);

    // Another card is entered within 0..99 again.
    combo1()->setEditText("Éclair (Bêta)");
    EXPECT_EQ(spin(1)->maximum(), 99);
}

TEST_F(CardEntryTest, TypedCountIsBroughtIntoTheRangeWhenTheFieldIsLeft)
{
    showEntry();
    combo1()->setEditText("Éclair (Alpha)");
    // Typed key by key: 250 becomes 99 on leaving the field, and 99 is written.
    spin(2)->setFocus();
    spin(2)->selectAll();
    QTest::keyClicks(spin(2), "250");
    EXPECT_EQ(spin(2)->text(), "250");
    spin(3)->setFocus();
    EXPECT_EQ(spin(2)->value(), 99);
    entry->ValiderClick();
    EXPECT_EQ(fieldOf(session, {"Éclair", "Lightning", "Alpha"}, card::Utilise), 99);

    // A stored count above 99 raised the field's own maximum: 999 becomes 150.
    Table &table = session.table;
    table.open();
    ASSERT_TRUE(table.findKey({"Éclair", "Lightning", "Alpha"}));
    table.edit();
    table.field(card::Dispo).setAsInteger(150);
    table.post();
    table.close();
    combo1()->setEditText("Éclair (Bêta)");
    combo1()->setEditText("Éclair (Alpha)");
    spin(1)->setFocus();
    spin(1)->selectAll();
    QTest::keyClicks(spin(1), "999");
    QTest::keyClick(spin(1), Qt::Key_Tab);
    EXPECT_EQ(spin(1)->value(), 150);
}

TEST_F(CardEntryTest, PriceIsShownInTheNumberFormatOfTheSettingsAndReadInBoth)
{
    struct DefaultLocale {
        explicit DefaultLocale(QLocale::Language language) { QLocale::setDefault(QLocale(language)); }
        ~DefaultLocale() { QLocale::setDefault(previous); }
        const QLocale previous;
    };
    QLineEdit *price = in<QLineEdit>(entry.get(), "Edit1");
    entry->FormShow();
    {
        const DefaultLocale french(QLocale::French);
        combo1()->setEditText("Éclair (Alpha)");
        EXPECT_EQ(price->text(), "2,5");
        for (const auto &[typed, shown] : {std::pair{"1234,75", "1234,75"}, {"12.5", "12,5"}, {"3", "3"}}) {
            price->setText(typed);
            entry->ValiderClick();
            combo1()->setEditText("Éclair (Bêta)");
            combo1()->setEditText("Éclair (Alpha)");
            EXPECT_EQ(price->text(), shown) << typed;
        }
    }
    const DefaultLocale english(QLocale::English);
    combo1()->setEditText("Éclair (Bêta)");
    combo1()->setEditText("Éclair (Alpha)");
    EXPECT_EQ(price->text(), "3");
    price->setText("0,25");
    entry->ValiderClick();
    combo1()->setEditText("Éclair (Bêta)");
    combo1()->setEditText("Éclair (Alpha)");
    EXPECT_EQ(price->text(), "0.25");
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(CardEntryTest, RarityAndColourDisplayAndUnknownLines)
{
    entry->FormShow();
    combo1()->setEditText("Éclair (Alpha)");
    EXPECT_TRUE(checked("RadioButton3"));  // "U": Parfois
    EXPECT_TRUE(checked("RadioButton6"));  // "Ble": Bleu

    // "X" leaves the rarity as it was; "Inc" has no button.
    combo1()->setEditText("Éclair (Bêta)");
    EXPECT_TRUE(checked("RadioButton3"));
    for (const char *colour : {"RadioButton4", "RadioButton5", "RadioButton6", "RadioButton7", "RadioButton8",
                               "RadioButton9"})
        EXPECT_FALSE(checked(colour)) << colour;

    // Picked from the list: the name's own parentheses stay in the name.
    combo1()->setCurrentIndex(combo1()->findText("Sort (ancien) (Alpha)"));
    EXPECT_EQ(combo2()->currentText(), "Old spell (Alpha)");
    EXPECT_TRUE(checked("RadioButton2"));  // "R": Rare
    EXPECT_TRUE(checked("RadioButton9"));  // "Or": Chrome

    // Partial or unknown text finds nothing and keeps the card shown.
    for (const char *text : {"Sort (anc", "sort (ancien) (alpha)", "Éclair"}) {
        combo1()->setEditText(text);
        EXPECT_EQ(combo2()->currentText(), "Old spell (Alpha)") << text;
        EXPECT_TRUE(checked("RadioButton9"));
    }
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(CardEntryTest, LookupErrorIsShownOnceWhenItsBoxTakesTheFocus)
{
    // An error box that really opens and takes the focus, as the program's does.
    class ModalErrors : public ScriptedDialogs
    {
    public:
        void error(QWidget *parent, const QString &text) override
        {
            errors.append(text);
            QDialog box(parent);
            QTimer::singleShot(0, &box, [&box] {
                EXPECT_TRUE(QTest::qWaitForWindowActive(&box));
                box.reject();
            });
            box.exec();
        }
    } modalErrors;

    showEntry();
    combo1()->setFocus();
    ASSERT_TRUE(QFile::remove(tables.cardPath()));
    combo1()->setEditText("Éclair (Alpha)");
    EXPECT_EQ(modalErrors.errors.size(), 1);

    // Leaving the box for another control is still an exit: the line is
    // looked up again.
    QApplication::setActiveWindow(entry.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(entry.get()));
    combo1()->setFocus();
    spin(1)->setFocus();
    EXPECT_EQ(modalErrors.errors.size(), 2);
}

TEST_F(CardEntryTest, EmptiedListIsRebuiltFromTheEditionSelection)
{
    entry->FormShow();
    session.selectEdition("Bêta");
    entry->emptyFrenchList();
    entry->FormShow();
    EXPECT_EQ(entry->frenchLines(), QStringList({"Éclair (Bêta)"}));
    EXPECT_EQ(entry->englishLines(), QStringList({"Lightning (Bêta)"}));
    EXPECT_EQ(entry->windowTitle(), "2/1         - Recherche de cartes -         5");
}

TEST_F(CardEntryTest, ListsDriveTheSplashGaugeAtStartUpAndTheProgressWindowLater)
{
    // Start-up: the about box is on screen and its gauge ends on the owned rows.
    TAboutBox aboutBox;
    windows().aboutBox = &aboutBox;
    aboutBox.showAsSplash();
    entry->FormShow();
    EXPECT_EQ(aboutBox.progression()->maximum(), 2);
    EXPECT_EQ(aboutBox.progression()->value(), 2);
    aboutBox.endSplash();

    // Later: the progress window counts both passes and is hidden at the end.
    TProgression progression;
    windows().progression = &progression;
    entry->emptyFrenchList();
    entry->FormShow();
    EXPECT_EQ(progression.gauge()->maximum(), 2 + 4);
    EXPECT_FALSE(progression.isVisible());
    EXPECT_EQ(entry->frenchLines().size(), 4);
}

TEST_F(CardEntryTest, ImageOpensThePictureWindowOnTheCardShownAndLoadsAJpeg)
{
    entry->FormShow();
    combo1()->setEditText("Sort (ancien) (Alpha)");
    const QStringList shown{"Sort (ancien)", "Old spell", "Alpha"};
    const QString jpegPath = QStringLiteral(TABRIX_TEST_DATA "/collection_picture.jpg");
    const QString textPath = tables.path("lettre.jpg");
    QFile text(textPath);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("Bonjour");
    text.close();

    bool checkedInside = false;
    whenShown(visualisation.get(), [&] {
        EXPECT_TRUE(visualisation->isVisible());
        EXPECT_EQ(visualisation->currentKey(), shown);
        EXPECT_TRUE(visualisation->picture().isNull());
        EXPECT_EQ(in<QLabel>(visualisation.get(), "DBImage1")->text(), "Pas d'image");

        dialogs.files.push_back(textPath);
        visualisation->Button1Click();
        EXPECT_EQ(dialogs.errors.size(), 1);
        EXPECT_TRUE(visualisation->picture().isNull());

        dialogs.files.push_back(jpegPath);
        visualisation->Button1Click();
        EXPECT_EQ(dialogs.errors.size(), 1);
        EXPECT_EQ(visualisation->picture().size(), QSize(32, 8));
        EXPECT_GT(qRed(visualisation->picture().pixel(2, 4)), 200);

        // The navigator moves through the card source in key order.
        const QStringList ours{"Le \"Grand\" Ours", "The \"Big\" Bear", "Alpha"};
        visualisation->Prior();
        EXPECT_EQ(visualisation->currentKey(), ours);
        EXPECT_EQ(visualisation->picture().size(), QSize(6, 4));
        visualisation->Prior();
        EXPECT_EQ(visualisation->currentKey(), ours);
        visualisation->Last();
        visualisation->First();
        visualisation->Next();
        EXPECT_EQ(visualisation->currentKey(), shown);
        EXPECT_FALSE(visualisation->picture().isNull());
        checkedInside = true;
        visualisation->accept();
    });
    QTest::mouseClick(in<QPushButton>(entry.get(), "BitBtn1"), Qt::LeftButton);
    EXPECT_TRUE(checkedInside);
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors.first().contains("n'est pas une image JPEG"));
    EXPECT_EQ(readPicture(session.table, shown), readFile(jpegPath));
    EXPECT_TRUE(dialogs.filters.first().contains("*.jpg"));
}

namespace {

class InventaireTest : public WindowsFixture
{
protected:
    InventaireTest()
        : WindowsFixture({coded(makeCard("Ange de Sérénité", "Serra Angel", "Alpha", 3, 0), "U", "Ver", 2.5),
                          coded(makeCard("Bête sauvage", "Wild Beast", "Alpha", 0, 2), "C", "Ver", 125.75),
                          coded(makeCard("Forêt", "Forest", "Alpha"), "C", "Ver", 2.5),
                          coded(makeCard("Forêt", "Forest", "Bêta", 1, 1), "C", "Ver", 0.25),
                          coded(makeCard("Géant rouge", "Red Giant", "Alpha", 5), "C", "Rge", 2.5),
                          coded(makeCard("Œil du cyclone", "Eye of the Storm", "Révisée", 12), "R", "Ver", QVariant())})
    {
        entry->FormShow();
    }
    QStringList items(QListWidget *list)
    {
        QStringList lines;
        for (int i = 0; i < list->count(); ++i)
            lines << list->item(i)->text();
        return lines;
    }
    QByteArray fichier() { return readFile(tables.path("FICHIER.TXT")); }
};

} // namespace

TEST_F(InventaireTest, PriceModeEndsWithTheShowingAndTheNextShowingListsTheCell)
{
    inventaire->ModeCote = true;
    inventaire->CoteChoisie = 125.75;
    inventaire->show();
    EXPECT_EQ(items(inventaire->listBox1()), QStringList({"Bête sauvage x 2 (Alpha)"}));
    EXPECT_TRUE(items(inventaire->listBox2()).isEmpty());
    EXPECT_EQ(fichier(), QByteArray("B\xeate sauvage x 2 (Alpha)\r\n"));
    // The window is 621 wide: the left list takes 310, the button's left edge is at 262.
    ASSERT_EQ(inventaire->width(), 621);
    EXPECT_EQ(inventaire->findChild<QWidget *>("Panel2")->width(), 310);
    EXPECT_EQ(inventaire->findChild<QWidget *>("BitBtn1")->x(), 262);
    QTest::mouseClick(in<QPushButton>(inventaire.get(), "BitBtn1"), Qt::LeftButton);
    EXPECT_FALSE(inventaire->isVisible());
    EXPECT_FALSE(inventaire->ModeCote);

    inventaire->CouleurChoisie = 0;
    inventaire->RareteChoisie = "R";
    inventaire->show();
    EXPECT_EQ(items(inventaire->listBox1()), QStringList({"Œil du cyclone x 12 (Révisée)"}));
    EXPECT_EQ(fichier(), QByteArray("\x8cil du cyclone x 12 (R\xe9vis\xe9" "e)\r\n"));
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(InventaireTest, OpeningACardAndChangingItsCountsRefreshesTheLists)
{
    inventaire->show();
    int opened = 0;
    auto setDispo = [&](int dispo) {
        whenShown(entry.get(), [&, dispo] {
            ++opened;
            EXPECT_TRUE(entry->isVisible());
            spin(1)->setValue(dispo);
            spin(2)->setValue(0);
            entry->ValiderClick();
            entry->accept();
        });
    };

    // Enter on the right list opens "Forêt (Alpha)".
    setDispo(2);
    inventaire->listBox2()->setCurrentRow(0);
    QTest::keyClick(inventaire->listBox2(), Qt::Key_Return);
    EXPECT_EQ(combo1()->currentText(), "Forêt (Alpha)");
    EXPECT_TRUE(items(inventaire->listBox1()).contains("Forêt x 2 (Alpha)"));
    EXPECT_TRUE(items(inventaire->listBox2()).isEmpty());
    EXPECT_TRUE(fichier().contains("For\xeat x 2 (Alpha)\r\n"));

    // A double-click on a left line opens its card without the count.
    setDispo(0);
    QListWidget *left = inventaire->listBox1();
    const int row = int(items(left).indexOf("Bête sauvage x 2 (Alpha)"));
    left->setCurrentRow(row);
    const QRect rect = left->visualItemRect(left->item(row));
    // A real double-click: the first click, then the second as double-click.
    QTest::mouseClick(left->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(left->viewport(), Qt::LeftButton, {}, rect.center());
    EXPECT_EQ(combo1()->currentText(), "Bête sauvage (Alpha)");
    EXPECT_EQ(items(inventaire->listBox2()), QStringList({"Bête sauvage (Alpha)"}));
    EXPECT_EQ(opened, 2);
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(InventaireTest, DoubleClickWithNothingSelectedDoesNothing)
{
    inventaire->CouleurChoisie = 6;
    inventaire->show();
    ASSERT_EQ(inventaire->listBox1()->count(), 0);
    bool entryShown = false;
    whenShown(entry.get(), [&] {
        entryShown = entry->isVisible();
        entry->reject();
    });
    inventaire->ListBox1DblClick();
    inventaire->ListBox2DblClick();
    QTest::keyClick(inventaire->listBox2(), Qt::Key_Return);
    QTest::qWait(10);
    EXPECT_FALSE(entryShown);
    EXPECT_TRUE(inventaire->isVisible());
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(InventaireTest, ListsGivenByTheCallerAreLeftAndTheFileUntouched)
{
    QFile file(tables.path("FICHIER.TXT"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("ancien contenu\r\n");
    file.close();

    inventaire->ListesFournies = true;
    inventaire->listBox1()->clear();
    inventaire->listBox1()->addItem("Loup x 2 (Alpha)");
    inventaire->listBox2()->clear();
    inventaire->label1()->setText("Il propose :");
    inventaire->show();
    EXPECT_EQ(items(inventaire->listBox1()), QStringList({"Loup x 2 (Alpha)"}));
    EXPECT_EQ(inventaire->label1()->text(), "Il propose :");
    EXPECT_EQ(fichier(), QByteArray("ancien contenu\r\n"));
    inventaire->reject();
    EXPECT_FALSE(inventaire->ListesFournies);
}

namespace {

// Names that make lines longer than 255 characters.
const QString LongOwned = QStringLiteral("Ancien ") + QString(280, QLatin1Char('o'));
const QString LongMissing = QStringLiteral("Banni ") + QString(290, QLatin1Char('m'));

class LongLinesInventaireTest : public WindowsFixture
{
protected:
    LongLinesInventaireTest()
        : WindowsFixture({coded(makeCard(LongOwned, "Old", "Alpha", 2), "C", "Ver"),
                          coded(makeCard(LongMissing, "Banned", "Alpha"), "C", "Ver")})
    {
        entry->FormShow();
    }
};

} // namespace

TEST_F(LongLinesInventaireTest, LinesLongerThan255OpenTheirCard)
{
    inventaire->show();
    ASSERT_EQ(inventaire->listBox1()->count(), 1);
    ASSERT_EQ(inventaire->listBox2()->count(), 1);
    EXPECT_EQ(inventaire->listBox1()->item(0)->text(), LongOwned + " x 2 (Alpha)");
    QStringList opened;
    for (QListWidget *list : {inventaire->listBox1(), inventaire->listBox2()}) {
        whenShown(entry.get(), [&] {
            opened << combo2()->currentText();
            entry->reject();
        });
        list->setCurrentRow(0);
        const QRect rect = list->visualItemRect(list->item(0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
    EXPECT_EQ(opened, QStringList({"Old (Alpha)", "Banned (Alpha)"}));
    EXPECT_TRUE(dialogs.errors.isEmpty());
    inventaire->reject();
}
