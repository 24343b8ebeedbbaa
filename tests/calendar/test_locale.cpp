// Month names follow LC_TIME (set to German for this program); the weekday
// initials stay the English "SMTWTFS" and the numbers stay plain digits.

#include "GuiApp.h"
#include "calendar/CalendarClass.h"

#include <gtest/gtest.h>

using namespace skyloom::calendar;

namespace {
const auto* const gui = ::testing::AddGlobalTestEnvironment(new skyloom::test::GuiEnvironment);

class Letters : public CalendarCanvas {
public:
    int Width() const override { return 1024; }
    int Height() const override { return 768; }
    QRgb ForeColor() const override { return 0; }
    void SetForeColor(QRgb) override {}
    double FontSize() const override { return 10; }
    void SetFontSize(double) override {}
    int TextWidth(const QString&) const override { return 5; }
    int TextHeight(const QString&) const override { return 5; }
    void DrawText(int, int, const QString& t) override { texts << t; }
    QStringList texts;
};
} // namespace

TEST(CalendarLocale, MonthNameFromLcTime) {
    CalendarClass cal;
    cal.m_Size = 0.33f;
    cal.m_Pos = 1;
    ASSERT_TRUE(cal.SetDate(QDate(2002, 3, 15)));
    EXPECT_EQ(cal.titleText(), QString::fromUtf8("März 2002"));
    ASSERT_TRUE(cal.SetDate(QDate(987, 12, 1)));
    EXPECT_EQ(cal.titleText(), "Dezember 0987");

    Letters canvas;
    cal.BeginDraw(canvas, true);
    ASSERT_GT(canvas.texts.size(), 9);
    EXPECT_EQ(canvas.texts.mid(1, 7).join(""), "SMTWTFS");
    EXPECT_EQ(canvas.texts[8], "1");
}
