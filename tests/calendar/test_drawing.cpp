// The renderer on a canvas: what is drawn in which colour and where, that the
// frame returns to its place, and real pixels on an off-screen picture.

#include "CalendarTestSupport.h"
#include "calendar/CalendarClass.h"
#include "common/Profile.h"

#include <gtest/gtest.h>
#include <set>
#include <vector>

using namespace skyloom;
using namespace skyloom::calendar;
using skyloom::test::count;
using skyloom::test::kBlack;
using skyloom::test::kWhite;
using skyloom::test::kYellow;
using skyloom::test::RecordingCanvas;

namespace {

CalendarClass calendarFor(QDate date, int sizeCode = 33, int pos = 1) {
    CalendarClass cal;
    cal.m_Size = sizeCode / 100.0f;
    cal.m_Pos = pos;
    EXPECT_TRUE(cal.SetDate(date));
    return cal;
}

int nearest(double v) {
    return static_cast<int>(roundHalfEven(v));
}

QRect faceCell(const CalendarClass& cal, int day) {
    int x = 0, y = 0, w = 0, h = 0;
    cal.dayCell(day, x, y, w, h);
    return QRect(x - 2, y - 2, w, h);
}

} // namespace

TEST(CalendarDrawing, ShadowThenFaceWithTodayInYellow) {
    CalendarClass cal = calendarFor(QDate(2026, 12, 7));
    RecordingCanvas canvas(1024, 768);
    cal.BeginDraw(canvas, true);
    const auto& ops = canvas.ops;
    const int perPass = 1 + 7 + 31;
    ASSERT_EQ(ops.size(), static_cast<std::size_t>(2 * perPass + 1));

    for (int i = 0; i < perPass; ++i) {
        const auto& shadow = ops[static_cast<std::size_t>(i)];
        const auto& face = ops[static_cast<std::size_t>(perPass + i)];
        SCOPED_TRACE(shadow.text.toStdString());
        EXPECT_EQ(shadow.colour, kBlack);
        EXPECT_EQ(face.text, shadow.text);
        EXPECT_EQ(face.x, shadow.x - 2);
        EXPECT_EQ(face.y, shadow.y - 2);
        const bool initial = i >= 1 && i <= 7;
        EXPECT_EQ(face.colour, initial ? kYellow : kWhite);
    }
    EXPECT_EQ(ops[0].text, cal.titleText());
    // Today goes over its white number, at the same place, in yellow.
    const auto& white7 = ops[static_cast<std::size_t>(perPass + 8 + 6)];
    EXPECT_EQ(white7.text, "7");
    EXPECT_EQ(ops.back(), (RecordingCanvas::Op{white7.x, white7.y, "7", kYellow, white7.points}));
    EXPECT_EQ(canvas.ForeColor(), kBlack);
}

TEST(CalendarDrawing, FrameReturnsAfterEachDraw) {
    CalendarClass cal = calendarFor(QDate(2026, 5, 15), 20, 9); // six weeks: 8 rows
    int l = 0, t = 0, w = 0, h = 0;
    cal.GetBounds(1280, 1024, l, t, w, h);
    RecordingCanvas first(1280, 1024), second(1280, 1024);
    cal.BeginDraw(first, true);
    EXPECT_EQ(QRect(cal.left(), cal.top(), cal.width(), cal.height()), QRect(l, t, w, h));
    cal.BeginDraw(second, true);
    EXPECT_EQ(first.ops, second.ops);
    // The sixth week row: "31" (a Sunday) in row 7 of 8; title at 1.25 × the base size.
    const int rowH = nearest(h / 8.0);
    EXPECT_EQ(first.ops[38].text, "31");
    EXPECT_EQ(first.ops[38].y, nearest((rowH - 10) / 2.0 + t + 7 * rowH));
    EXPECT_DOUBLE_EQ(first.ops[0].points, 1.25 * first.ops[8].points);
}

TEST(CalendarDrawing, NothingDrawnWithoutDateRowsOrRoom) {
    RecordingCanvas canvas(1024, 768);
    CalendarClass noDate;
    noDate.BeginDraw(canvas, true);
    CalendarClass noRows = calendarFor(QDate(2026, 12, 7)); // no GetBounds yet
    noRows.BeginDraw(canvas, false);
    noRows.BeginDraw(canvas, true, 10, 10, 300, 200);
    CalendarClass cal = calendarFor(QDate(2026, 12, 7), 20);
    int l = 0, t = 0, w = 0, h = 0;
    cal.GetBounds(1024, 768, l, t, w, h); // rows known, frames too small
    for (QSize tiny : {QSize(20, 20), QSize(1, 1), QSize(0, 0), QSize(60, 24)})
        cal.BeginDraw(canvas, true, 0, 0, tiny.width(), tiny.height());
    cal.BeginDraw(canvas, true, 10, 10, -300, -200);
    EXPECT_TRUE(canvas.ops.empty());
}

TEST(CalendarPixels, TodayIsYellowInItsCell) {
    QImage img(1024, 768, QImage::Format_RGB32);
    img.fill(qRgb(90, 90, 90));
    CalendarClass cal = calendarFor(QDate(2026, 12, 7));
    {
        QImageCanvas canvas(img);
        cal.BeginDraw(canvas, true);
    }
    EXPECT_GT(count(img, faceCell(cal, 7), kYellow), 20);
    for (int other : {1, 6, 8, 14, 31}) {
        SCOPED_TRACE(other);
        EXPECT_EQ(count(img, faceCell(cal, other), kYellow), 0);
        EXPECT_GT(count(img, faceCell(cal, other), kWhite), 20);
        EXPECT_GT(count(img, faceCell(cal, other).translated(2, 2), kBlack), 5);
    }
}

TEST(CalendarPixels, HardEdgesUseOnlyTheTextColours) {
    // A key-coloured surface must get no blend of the key into the text.
    QImage img(240, 190, QImage::Format_RGB32);
    img.fill(qRgb(0, 255, 0));
    CalendarClass cal = calendarFor(QDate(2026, 12, 7), 20);
    int l = 0, t = 0, w = 0, h = 0;
    cal.GetBounds(1024, 768, l, t, w, h);
    {
        QImageCanvas canvas(img, QImageCanvas::Edges::Hard);
        cal.BeginDraw(canvas, false);
    }
    std::set<QRgb> colours;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            colours.insert(img.pixel(x, y) | 0xff000000u);
    EXPECT_EQ(colours, (std::set<QRgb>{0xff00ff00u, kBlack, kWhite, kYellow}));
}
