// The renderer on a canvas: what is drawn in which colour and where, that the
// frame returns to its place, and real pixels on an off-screen picture.

#include "GuiApp.h"
#include "calendar/CalendarClass.h"
#include "common/Profile.h"

#include <gtest/gtest.h>
#include <set>
#include <vector>

using namespace skyloom;
using namespace skyloom::calendar;

namespace {

const auto* const gui = ::testing::AddGlobalTestEnvironment(new test::GuiEnvironment);

constexpr QRgb kBlack = 0xff000000u, kWhite = 0xffffffffu, kYellow = 0xffffff00u;

// Records every text drawn; texts are 6 pixels a character and 10 high.
class RecordingCanvas : public CalendarCanvas {
public:
    struct Op {
        int x, y;
        QString text;
        QRgb colour;
        double points;
        bool operator==(const Op&) const = default;
    };
    RecordingCanvas(int w, int h) : w_(w), h_(h) {}
    int Width() const override { return w_; }
    int Height() const override { return h_; }
    QRgb ForeColor() const override { return colour_; }
    void SetForeColor(QRgb c) override { colour_ = c; }
    double FontSize() const override { return points_; }
    void SetFontSize(double p) override { points_ = p; }
    int TextWidth(const QString& t) const override { return 6 * static_cast<int>(t.size()); }
    int TextHeight(const QString&) const override { return 10; }
    void DrawText(int x, int y, const QString& t) override {
        ops.push_back({x, y, t, colour_, points_});
    }
    std::vector<Op> ops;

private:
    int w_, h_;
    QRgb colour_ = 0xff123456u;
    double points_ = 12;
};

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

// Pixels of exactly `colour` inside the rectangle.
int count(const QImage& img, QRect r, QRgb colour) {
    int n = 0;
    r &= img.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += (img.pixel(x, y) | 0xff000000u) == colour;
    return n;
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
    QString initials;
    for (int i = 1; i <= 7; ++i)
        initials += ops[static_cast<std::size_t>(i)].text;
    EXPECT_EQ(initials, "SMTWTFS");

    // Today goes over its white number, at the same place, in yellow.
    const auto& today = ops.back();
    const auto& white7 = ops[static_cast<std::size_t>(perPass + 8 + 6)];
    EXPECT_EQ(today.text, "7");
    EXPECT_EQ(today.colour, kYellow);
    EXPECT_EQ(white7.text, "7");
    EXPECT_EQ(today.x, white7.x);
    EXPECT_EQ(today.y, white7.y);
    EXPECT_EQ(canvas.ForeColor(), kBlack);
}

TEST(CalendarDrawing, FrameAndFontSizes) {
    CalendarClass cal = calendarFor(QDate(2026, 5, 15), 33, 5); // six weeks: 8 rows
    int l = 0, t = 0, w = 0, h = 0;
    cal.GetBounds(1024, 768, l, t, w, h);
    RecordingCanvas canvas(1024, 768);
    cal.BeginDraw(canvas, true);
    EXPECT_EQ(cal.left(), l);
    EXPECT_EQ(cal.top(), t);
    EXPECT_EQ(cal.width(), w);
    EXPECT_EQ(cal.height(), h);

    const int rowH = nearest(h / 8.0);
    const int colW = nearest(w / 7.0);
    const double base = static_cast<double>(roundHalfEven(rowH * 0.5));
    const auto& ops = canvas.ops;
    EXPECT_DOUBLE_EQ(ops[0].points, base * 1.25);
    EXPECT_DOUBLE_EQ(ops[1].points, base * 1.25);
    EXPECT_DOUBLE_EQ(ops[8].points, base);
    EXPECT_DOUBLE_EQ(canvas.FontSize(), base);

    // Title centred in the first row; "1" (a Friday) in column 5 of row 2.
    EXPECT_EQ(ops[0].x, nearest((w - 6 * ops[0].text.size()) / 2.0 + l));
    EXPECT_EQ(ops[0].y, nearest((rowH - 10) / 2.0 + t));
    EXPECT_EQ(ops[8].text, "1");
    EXPECT_EQ(ops[8].x, nearest((colW - 6) / 2.0 + l + 5 * colW));
    EXPECT_EQ(ops[8].y, nearest((rowH - 10) / 2.0 + t + 2 * rowH));
    // "31" lands in the sixth week row (row 7 of the frame).
    EXPECT_EQ(ops[38].text, "31");
    EXPECT_EQ(ops[38].y, nearest((rowH - 10) / 2.0 + t + 7 * rowH));
}

TEST(CalendarDrawing, DrawingAgainGivesTheSameCalls) {
    CalendarClass cal = calendarFor(QDate(2026, 12, 7), 20, 9);
    RecordingCanvas first(1280, 1024), second(1280, 1024);
    cal.BeginDraw(first, true);
    cal.BeginDraw(second, true);
    EXPECT_EQ(first.ops, second.ops);

    // An explicit frame and the whole canvas keep the last row count.
    RecordingCanvas framed(1280, 1024), whole(200, 160);
    cal.BeginDraw(framed, true, 100, 50, 200, 160);
    cal.BeginDraw(whole, false);
    ASSERT_EQ(framed.ops.size(), whole.ops.size());
    for (std::size_t i = 0; i < framed.ops.size(); ++i) {
        EXPECT_EQ(framed.ops[i].x, whole.ops[i].x + 100);
        EXPECT_EQ(framed.ops[i].y, whole.ops[i].y + 50);
    }
    EXPECT_EQ(cal.left(), 0);
    EXPECT_EQ(cal.top(), 0);
}

TEST(CalendarDrawing, LeapDayShownOnlyInLeapYears) {
    for (auto [year, last] : {std::pair{2024, "29"}, {2000, "29"}, {1900, "28"}, {2100, "28"}}) {
        CalendarClass cal = calendarFor(QDate(year, 2, 3));
        RecordingCanvas canvas(1024, 768);
        cal.BeginDraw(canvas, true);
        // Shadow pass: title, initials, days.
        const std::size_t days = (canvas.ops.size() - 1) / 2 - 8;
        EXPECT_EQ(canvas.ops[8 + days - 1].text, last) << year;
    }
}

TEST(CalendarDrawing, NothingDrawnWithoutDateRowsOrRoom) {
    CalendarClass noDate;
    noDate.m_Size = 0.2f;
    noDate.m_Pos = 1;
    RecordingCanvas canvas(1024, 768);
    noDate.BeginDraw(canvas, true);
    noDate.BeginDraw(canvas, false);
    EXPECT_TRUE(canvas.ops.empty());

    CalendarClass noRows = calendarFor(QDate(2026, 12, 7));
    noRows.BeginDraw(canvas, false); // no GetBounds yet: no row count
    noRows.BeginDraw(canvas, true, 10, 10, 300, 200);
    EXPECT_TRUE(canvas.ops.empty());

    for (QSize tiny : {QSize(30, 30), QSize(1, 1), QSize(0, 0), QSize(60, 45)}) {
        CalendarClass cal = calendarFor(QDate(2026, 12, 7), 20);
        RecordingCanvas small(tiny.width(), tiny.height());
        cal.BeginDraw(small, true);
        EXPECT_TRUE(small.ops.empty()) << tiny.width();
    }
    CalendarClass cal = calendarFor(QDate(2026, 12, 7));
    int l = 0, t = 0, w = 0, h = 0;
    cal.GetBounds(1024, 768, l, t, w, h);
    cal.BeginDraw(canvas, true, 10, 10, -300, -200);
    cal.BeginDraw(canvas, true, 10, 10, 0, 0);
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
    // Outside the frame (less the face's 2-pixel shift) nothing changed.
    const QRect frame(cal.left() - 2, cal.top() - 2, cal.width() + 2, cal.height() + 2);
    const QRect inside = frame & img.rect();
    const QRgb grey = qRgb(90, 90, 90);
    EXPECT_EQ(count(img, img.rect(), grey) - count(img, inside, grey),
              img.width() * img.height() - inside.width() * inside.height());
}

TEST(CalendarPixels, SamePictureEachTime) {
    CalendarClass cal = calendarFor(QDate(2026, 12, 7), 66, 5);
    QImage a(800, 600, QImage::Format_RGB32), b(800, 600, QImage::Format_RGB32);
    a.fill(qRgb(40, 80, 120));
    b.fill(qRgb(40, 80, 120));
    {
        QImageCanvas ca(a);
        cal.BeginDraw(ca, true);
    }
    {
        QImageCanvas cb(b);
        cal.BeginDraw(cb, true);
    }
    EXPECT_TRUE(a == b);
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
