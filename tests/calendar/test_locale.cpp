// Month names follow LC_TIME (set to German for this program); the weekday
// initials stay the English "SMTWTFS" and the numbers stay plain digits.

#include "CalendarTestSupport.h"
#include "calendar/CalendarClass.h"

#include <gtest/gtest.h>

using namespace skyloom::calendar;

TEST(CalendarLocale, MonthNameFromLcTime) {
    CalendarClass cal;
    cal.m_Size = 0.33f;
    cal.m_Pos = 1;
    ASSERT_TRUE(cal.SetDate(QDate(2002, 3, 15)));
    EXPECT_EQ(cal.titleText(), QString::fromUtf8("März 2002"));
    ASSERT_TRUE(cal.SetDate(QDate(987, 12, 1)));
    EXPECT_EQ(cal.titleText(), "Dezember 0987");

    skyloom::test::RecordingCanvas canvas(1024, 768);
    cal.BeginDraw(canvas, true);
    ASSERT_GT(canvas.ops.size(), 9u);
    QString initials;
    for (std::size_t i = 1; i <= 7; ++i)
        initials += canvas.ops[i].text;
    EXPECT_EQ(initials, "SMTWTFS");
    EXPECT_EQ(canvas.ops[8].text, "1");
}
