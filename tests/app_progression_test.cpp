#include "ui/tprogression.h"

#include <QApplication>
#include <QImage>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct GaugeCase {
    int maximum;
    int calls;
    int expectedPosition;
};

void PrintTo(const GaugeCase &c, std::ostream *os)
{
    *os << "maximum " << c.maximum << ", " << c.calls << " calls";
}

class AvanceGaugeTest : public ::testing::TestWithParam<GaugeCase>
{
};

} // namespace

TEST_P(AvanceGaugeTest, BarMovesByHundredthsOfTheMaximum)
{
    const GaugeCase c = GetParam();
    TProgression window;
    window.setMaximum(c.maximum);
    window.show();
    for (int i = 0; i < c.calls; ++i)
        window.AvanceGauge();
    EXPECT_EQ(window.gauge()->value(), c.expectedPosition);
    window.hide();
}

INSTANTIATE_TEST_SUITE_P(
    Maxima, AvanceGaugeTest,
    ::testing::Values(GaugeCase{1000, 1000, 1000}, // 100 %
                      GaugeCase{1000, 9, 0},       // the first step comes at the tenth call
                      GaugeCase{1000, 10, 10},
                      GaugeCase{1000, 999, 990},
                      GaugeCase{1050, 1050, 1050}, // step 10, remainder dropped
                      GaugeCase{99, 99, 0},        // step 0: the bar never moves
                      GaugeCase{1, 1, 0},
                      GaugeCase{0, 5, 0},          // an empty pass
                      // Steps above 255 calls: a narrow counter would never reach them.
                      GaugeCase{25600, 25600, 25600}, GaugeCase{100000, 100000, 100000}));

TEST(ProgressionTest, ShowingAgainStartsFromZero)
{
    TProgression window;
    window.setMaximum(200);
    window.show();
    for (int i = 0; i < 105; ++i)
        window.AvanceGauge();
    EXPECT_EQ(window.gauge()->value(), 104);
    EXPECT_EQ(window.compteur(), 1u);
    window.hide();

    window.show();
    EXPECT_EQ(window.gauge()->value(), 0);
    EXPECT_EQ(window.compteur(), 0u);
    window.AvanceGauge();
    EXPECT_EQ(window.gauge()->value(), 0);
    window.AvanceGauge();
    EXPECT_EQ(window.gauge()->value(), 2); // a fresh count of two calls
    window.hide();
}

TEST(ProgressionTest, HourglassOnlyWhileShown)
{
    TProgression window;
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    window.setMaximum(10);
    window.show();
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    window.show(); // shown twice, hidden once: no cursor left behind
    window.hide();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    window.hide();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(ProgressionTest, WindowLooksAsDesigned)
{
    TProgression window;
    window.setMaximum(0);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Progression"));
    EXPECT_EQ(window.size(), QSize(222, 30));
    EXPECT_EQ(window.gauge()->geometry(), QRect(0, 0, 222, 30));
    EXPECT_TRUE(window.gauge()->isTextVisible());
    // A busy indicator would run for an empty table; the bar stays at 0 %.
    EXPECT_GT(window.gauge()->maximum(), window.gauge()->minimum());
    // The bar as drawn on screen has the colour value 4259584: no red, full
    // green, a quarter blue.
    window.gauge()->setValue(window.gauge()->maximum());
    const QImage drawn = window.gauge()->grab().toImage();
    EXPECT_EQ(drawn.pixelColor(8, 15), QColor(0x00, 0xFF, 0x40));
}

// A click or a key on another window while a pass runs reaches nothing: a
// command started under the pass would reopen the table it walks.
TEST(ProgressionTest, InputToAnotherWindowIsHeldWhileAPassRuns)
{
    QPushButton other(QStringLiteral("Autre"));
    other.resize(100, 30);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    other.activateWindow();
    other.setFocus();
    int clicks = 0;
    QObject::connect(&other, &QPushButton::clicked, [&clicks] { ++clicks; });

    TProgression window;
    window.setMaximum(1000);
    window.show(); // returns at once: the pass goes on under it
    for (int row = 0; row < 1000; ++row) {
        if (row == 500) {
            QTest::mouseClick(other.windowHandle(), Qt::LeftButton, {}, QPoint(50, 15));
            QTest::keyClick(other.windowHandle(), Qt::Key_Space);
        }
        window.AvanceGauge(); // services the window system every tenth of the rows
    }
    EXPECT_EQ(clicks, 0);
    window.hide();

    // The same click once the pass is over.
    QTest::mouseClick(other.windowHandle(), Qt::LeftButton, {}, QPoint(50, 15));
    EXPECT_EQ(clicks, 1);
}
