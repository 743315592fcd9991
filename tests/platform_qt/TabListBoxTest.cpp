#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include "platform/qt/TabListBox.h"

namespace {

using platform::qt::TabListBox;

void EnsureApp() {
    // Offscreen even when the runner's environment does not say so.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char achName[] = "platform_qt_test";
    static char* argv[] = {achName, nullptr};
    static QApplication* pApp = new QApplication(argc, argv);
    (void)pApp;
}

class TabListBoxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureApp();
        mpList = std::make_unique<TabListBox>();
    }
    int Px(int32_t lngUnits) const { return mpList->DialogUnitsToPixels(lngUnits); }
    std::unique_ptr<TabListBox> mpList;
};

TEST_F(TabListBoxTest, UnusableStopsAreRefusedAndTheOldOnesKept) {
    ASSERT_EQ(mpList->SetTabStops({20, 60}), 1);
    EXPECT_EQ(mpList->SetTabStops({-4}), 0);
    EXPECT_EQ(mpList->SetTabStops({20, -1}), 0);
    EXPECT_EQ(mpList->SetTabStops({20, 20}), 0);
    EXPECT_EQ(mpList->SetTabStops({60, 20}), 0);
    EXPECT_EQ(mpList->SetTabStops({0}), 0);
    EXPECT_EQ(mpList->TabStops(), (std::vector<int32_t>{20, 60}));
    EXPECT_EQ(mpList->SetTabStops({0, 8}), 1);
    EXPECT_EQ(mpList->SetTabStops({}), 1);
    EXPECT_TRUE(mpList->TabStops().empty());
}

TEST_F(TabListBoxTest, ColumnsStartAtTheStops) {
    ASSERT_EQ(mpList->SetTabStops({40, 100}), 1);
    EXPECT_EQ(mpList->ColumnStarts("a\tb\tc"), (std::vector<int>{0, Px(40), Px(100)}));
    // A column wider than its stop moves on to the next one.
    QString strWide;
    while (mpList->fontMetrics().horizontalAdvance(strWide) <= Px(40)) strWide += QLatin1Char('W');
    ASSERT_LT(mpList->fontMetrics().horizontalAdvance(strWide), Px(100));
    EXPECT_EQ(mpList->ColumnStarts(strWide + "\tb")[1], Px(100));
    // Past the last stop a tab is one blank.
    const auto alngPast = mpList->ColumnStarts("\t\t\t");
    EXPECT_EQ(alngPast[3], Px(100) + mpList->fontMetrics().horizontalAdvance(QLatin1Char(' ')));

    ASSERT_EQ(mpList->SetTabStops({}), 1);
    EXPECT_EQ(mpList->ColumnStarts("\t\tx"), (std::vector<int>{0, Px(32), 2 * Px(32)}));
    ASSERT_EQ(mpList->SetTabStops({20}), 1);
    EXPECT_EQ(mpList->ColumnStarts("\t\t\t"),
              (std::vector<int>{0, Px(20), 2 * Px(20), 3 * Px(20)}));
}

// The left edge of the text (dark pixels) in the first item's row; the
// style may frame the current item in a light colour.
int FirstInkX(TabListBox& objList) {
    objList.show();
    QCoreApplication::processEvents();
    const QImage img = objList.viewport()->grab().toImage();
    const QRect rc = objList.visualItemRect(objList.item(0));
    for (int x = rc.left(); x < rc.right(); ++x)
        for (int y = rc.top(); y <= rc.bottom(); ++y)
            if (qGray(img.pixel(x, y)) < 100) return x;
    return -1;
}

TEST_F(TabListBoxTest, DrawnColumnMovesWithItsStop) {
    mpList->resize(600, 120);
    mpList->addItem("\tMMMM");
    ASSERT_EQ(mpList->SetTabStops({40}), 1);
    const int lngAt40 = FirstInkX(*mpList);
    ASSERT_EQ(mpList->SetTabStops({120}), 1);
    const int lngAt120 = FirstInkX(*mpList);
    ASSERT_GE(lngAt40, Px(40));
    EXPECT_NEAR(lngAt120 - lngAt40, Px(120) - Px(40), 1);
}

}  // namespace
