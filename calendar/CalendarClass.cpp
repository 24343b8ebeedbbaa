#include "calendar/CalendarClass.h"

#include "common/Log.h"
#include "common/Profile.h"

#include <QLocale>
#include <cstdio>

namespace skyloom::calendar {
namespace {

constexpr QRgb kBlack = 0xff000000u;
constexpr QRgb kWhite = 0xffffffffu;
constexpr QRgb kYellow = 0xffffff00u;

// Below this row height no text is readable; drawing is skipped.
constexpr int kMinRowHeight = 4;

int nearest(double v) {
    return static_cast<int>(roundHalfEven(v));
}

// 1 = Sunday .. 7 = Saturday.
int weekday(const QDate& d) {
    return d.dayOfWeek() % 7 + 1;
}

QDate parseDate(std::string_view text) {
    const std::string s(text);
    int a = 0, b = 0, c = 0;
    char sep1 = 0, sep2 = 0;
    if (std::sscanf(s.c_str(), " %d%c%d%c%d", &a, &sep1, &b, &sep2, &c) != 5)
        return {};
    if (sep1 == '-' && sep2 == '-' && a >= 1) // yyyy-mm-dd
        return QDate(a, b, c);
    if (sep1 == '/' && sep2 == '/' && c >= 1) // m/d/yyyy
        return QDate(c, a, b);
    return {};
}

// Restores the frame corner however the drawing pass ends.
struct FrameShift {
    FrameShift(int& left, int& top, int by) : left_(left), top_(top), by_(by) {
        left_ -= by_;
        top_ -= by_;
    }
    ~FrameShift() {
        left_ += by_;
        top_ += by_;
    }
    FrameShift(const FrameShift&) = delete;
    FrameShift& operator=(const FrameShift&) = delete;
    int& left_;
    int& top_;
    int by_;
};

} // namespace

CalendarClass::CalendarClass()
    : m_szDayLetters(QStringLiteral("SMTWTFSX")), m_vMonthDays{31, 28, 31, 30, 31, 30,
                                                               31, 31, 30, 31, 30, 31} {}

bool CalendarClass::SetDate(std::string_view szDate) {
    const QDate d = parseDate(szDate);
    if (!SetDate(d)) {
        logWarning("calendar", "unreadable date \"" + std::string(szDate) + "\", not shown");
        return false;
    }
    m_szDate = std::string(szDate);
    return true;
}

bool CalendarClass::SetDate(const QDate& date) {
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        return false;
    date_ = date;
    m_szDate = date.toString(Qt::ISODate).toStdString();
    m_nMonth = date.month();
    m_nYear = date.year();
    m_nDay = date.day();
    m_nFirstDay = weekday(QDate(m_nYear, m_nMonth, 1));
    return true;
}

int CalendarClass::GetLeapDay(int month, int year) {
    if (month != 2)
        return 0;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return leap ? 1 : 0;
}

int CalendarClass::daysInMonth() const {
    if (m_nMonth < 1 || m_nMonth > 12)
        return 0;
    return m_vMonthDays[static_cast<std::size_t>(m_nMonth - 1)] + GetLeapDay(m_nMonth, m_nYear);
}

void CalendarClass::GetBounds(int Width, int Height, int& nLeft, int& nTop, int& nWidth,
                              int& nHeight) {
    if (m_nMonth < 1 || m_nMonth > 12) {
        logWarning("calendar", "no date set, no calendar frame");
        m_nRows = 0;
        return;
    }
    // The size is a 32-bit float and the product is taken at that precision.
    nWidth = nearest(static_cast<float>(Width - 40) * m_Size);
    nHeight = nearest(static_cast<float>(Height - 40) * m_Size);
    const int cell = nearest(nHeight / 7.0);

    // February counts 28 days here: with 29 it never needs a sixth week row.
    const int days = m_vMonthDays[static_cast<std::size_t>(m_nMonth - 1)];
    const bool small = m_Size < 0.33f;
    if ((days == 31 && m_nFirstDay > 5) || (days == 30 && m_nFirstDay > 6)) {
        m_nRows = 8;
        if (small)
            nHeight += cell;
    } else {
        m_nRows = 7;
    }
    if (small)
        nHeight += 10;

    // Margins: 20 on the left, top and bottom, 40 on the right.
    const int centreX = nearest((Width - nWidth) / 2.0);
    const int centreY = nearest((Height - nHeight) / 2.0);
    const int right = Width - 40 - nWidth;
    const int bottom = Height - nHeight - 20;
    // Codes run row by row: 1-3 along the top, 4-6 across the middle, 7-9 along the bottom.
    if (m_Pos >= kTopLeft && m_Pos <= kBottomRight) {
        const int column = (m_Pos - 1) % 3;
        const int row = (m_Pos - 1) / 3;
        nLeft = column == 0 ? 20 : column == 1 ? centreX : right;
        nTop = row == 0 ? 20 : row == 1 ? centreY : bottom;
    }
}

void CalendarClass::BeginDraw(CalendarCanvas& Canvas, bool bSS) {
    Canvas.SetForeColor(kBlack);
    if (bSS) {
        GetBounds(Canvas.Width(), Canvas.Height(), m_nLeft, m_nTop, m_nWidth, m_nHeight);
    } else {
        m_nLeft = 0;
        m_nTop = 0;
        m_nWidth = Canvas.Width();
        m_nHeight = Canvas.Height();
    }
    drawFrame(Canvas);
}

void CalendarClass::BeginDraw(CalendarCanvas& Canvas, bool, int Left, int Top, int Width,
                              int Height) {
    Canvas.SetForeColor(kBlack);
    m_nLeft = Left;
    m_nTop = Top;
    m_nWidth = Width;
    m_nHeight = Height;
    drawFrame(Canvas);
}

void CalendarClass::drawFrame(CalendarCanvas& Canvas) {
    if (m_nMonth == 0 || m_nRows == 0) {
        logWarning("calendar", "calendar drawn before its date or bounds were set, skipped");
        return;
    }
    if (!canDraw(m_nWidth, m_nHeight)) {
        logInfo("calendar", "frame " + std::to_string(m_nWidth) + "x" + std::to_string(m_nHeight) +
                                " too small for a calendar, skipped");
        return;
    }
    Canvas.SetFontSize(rowHeight() * 0.5);
    DrawCalendar(Canvas);
}

void CalendarClass::DrawCalendar(CalendarCanvas& Canvas) {
    const int today = weekday(date_);
    const int first = m_nFirstDay;
    const QString title = titleText();

    // Shadow pass, all black, at the frame.
    DrawTitle(Canvas, title);
    DrawWeekdayRow(Canvas, -1);
    DrawDays(Canvas, first - 1, daysInMonth());

    // Face pass, 2 pixels up and left: white text, yellow initials and today.
    {
        FrameShift shift(m_nLeft, m_nTop, 2);
        Canvas.SetForeColor(kWhite);
        DrawTitle(Canvas, title);
        DrawWeekdayRow(Canvas, today);
        DrawDays(Canvas, first - 1, daysInMonth());
        Canvas.SetForeColor(kYellow);
        DrawToday(Canvas, first - 1, m_nDay);
        Canvas.SetForeColor(kBlack);
    }
}

QString CalendarClass::titleText() const {
    if (m_nMonth < 1 || m_nMonth > 12)
        return {};
    // The stand-alone form is the one a heading takes (nominative in
    // languages that inflect month names).
    return QLocale::system().standaloneMonthName(m_nMonth, QLocale::LongFormat) + u' ' +
           QStringLiteral("%1").arg(m_nYear, 4, 10, QLatin1Char('0'));
}

bool CalendarClass::canDraw(int width, int height) const {
    if (m_nMonth == 0 || m_nRows == 0)
        return false;
    return nearest(static_cast<double>(height) / m_nRows) >= kMinRowHeight &&
           nearest(width / 7.0) >= 1;
}

int CalendarClass::colWidth() const {
    return nearest(m_nWidth / 7.0);
}

int CalendarClass::rowHeight() const {
    return m_nRows > 0 ? nearest(static_cast<double>(m_nHeight) / m_nRows) : 0;
}

void CalendarClass::drawCentred(CalendarCanvas& Canvas, const QString& text, int cx, int cy, int cw,
                                int ch) {
    const int x = nearest((cw - Canvas.TextWidth(text)) / 2.0 + cx);
    const int y = nearest((ch - Canvas.TextHeight(text)) / 2.0 + cy);
    Canvas.DrawText(x, y, text);
}

void CalendarClass::DrawTitle(CalendarCanvas& Canvas, const QString& title) {
    const double S = static_cast<double>(roundHalfEven(Canvas.FontSize()));
    Canvas.SetFontSize(S * 1.25);
    drawCentred(Canvas, title, m_nLeft, m_nTop, m_nWidth, rowHeight());
    Canvas.SetFontSize(S);
}

void CalendarClass::DrawWeekdayRow(CalendarCanvas& Canvas, int w) {
    // w only switches the colour: all seven initials are yellow on the face.
    const QRgb kept = Canvas.ForeColor();
    if (w != -1)
        Canvas.SetForeColor(kYellow);
    const double S = static_cast<double>(roundHalfEven(Canvas.FontSize()));
    Canvas.SetFontSize(S * 1.25);
    const int colW = colWidth();
    const int rowH = rowHeight();
    for (int i = 0; i < 7; ++i)
        drawCentred(Canvas, m_szDayLetters.mid(i, 1), m_nLeft + i * colW, m_nTop + rowH, colW,
                    rowH);
    Canvas.SetFontSize(S);
    if (w != -1)
        Canvas.SetForeColor(kept);
}

void CalendarClass::DrawDays(CalendarCanvas& Canvas, int f, int count) {
    for (int i = 0; i < count; ++i)
        DrawToday(Canvas, f, i + 1);
}

void CalendarClass::DrawToday(CalendarCanvas& Canvas, int f, int d) {
    int x = 0, y = 0, w = 0, h = 0;
    cell(f, d, x, y, w, h);
    drawCentred(Canvas, QString::number(d), x, y, w, h);
}

void CalendarClass::cell(int f, int d, int& x, int& y, int& w, int& h) const {
    const int k = d - 1 + f;
    w = colWidth();
    h = rowHeight();
    x = m_nLeft + (k % 7) * w;
    y = m_nTop + (k / 7 + 2) * h;
}

void CalendarClass::dayCell(int dayOfMonth, int& x, int& y, int& cellWidth, int& cellHeight) const {
    cell(m_nFirstDay - 1, dayOfMonth, x, y, cellWidth, cellHeight);
}

} // namespace skyloom::calendar
