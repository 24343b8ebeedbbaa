#pragma once
// CalendarClass: draws a one-month calendar (title "month year", a row of
// weekday initials, the day numbers in a seven-column grid, today's number
// in yellow) as black-shadowed text on a canvas, and works out where the
// calendar goes on a canvas from a size fraction and one of nine positions.
//
// Use: set m_Pos and m_Size, SetDate, GetBounds (directly, or through
// BeginDraw with bSS true and no frame), then BeginDraw. It knows nothing
// of files or settings; the overlays in CalendarOverlay.h feed it.

#include "calendar/CalendarCanvas.h"

#include <QDate>
#include <QString>
#include <array>
#include <string>
#include <string_view>

namespace skyloom::calendar {

/// Position codes 1-9, as the position lists and settings store them.
enum CalendarPosition {
    kTopLeft = 1,
    kTopCenter,
    kTopRight,
    kCenterLeft,
    kCenter,
    kCenterRight,
    kBottomLeft,
    kBottomCenter,
    kBottomRight
};

class CalendarClass {
public:
    CalendarClass();

    /// Fraction of the canvas (less the margins) the calendar covers: the
    /// size code / 100, i.e. 1.00, 0.66, 0.33 or 0.20.
    float m_Size = 0.0f;
    /// Position code 1-9 (see CalendarPosition); any other leaves the
    /// frame's corner where it was.
    int m_Pos = 0;

    /// Takes the date to show: "yyyy-mm-dd" or "m/d/yyyy" (a time of day
    /// may follow). An unreadable or impossible date is logged and ignored,
    /// the previous date stays. True when taken.
    bool SetDate(std::string_view szDate);
    bool SetDate(const QDate& date);

    /// Frame of the calendar on a Width × Height canvas. Writes nWidth,
    /// nHeight and, for a position code 1-9, nLeft and nTop; sets the row
    /// count. Without a date the outputs stay as they are and the row count 0.
    void GetBounds(int Width, int Height, int& nLeft, int& nTop, int& nWidth, int& nHeight);

    /// Draws the calendar on the canvas. Frame: the one given; else with
    /// bSS the one GetBounds gives for the canvas size; else the whole
    /// canvas. The frame is the same before and after. Nothing is drawn
    /// (and a line is logged) without a date or row count, or when the
    /// frame is too small to hold a readable row of text.
    void BeginDraw(CalendarCanvas& Canvas, bool bSS);
    void BeginDraw(CalendarCanvas& Canvas, bool bSS, int Left, int Top, int Width, int Height);

    /// True when a frame of width × height holds readable text with the
    /// row count of the last GetBounds (what BeginDraw checks before drawing).
    bool canDraw(int width, int height) const;

    /// 1 for February of a leap year (Gregorian rules), else 0.
    static int GetLeapDay(int month, int year);

    // What the last SetDate, GetBounds and BeginDraw left behind.
    const std::string& date() const { return m_szDate; }
    int month() const { return m_nMonth; }
    int year() const { return m_nYear; }
    int day() const { return m_nDay; }
    int firstDay() const { return m_nFirstDay; } ///< 1 = Sunday .. 7 = Saturday
    int rows() const { return m_nRows; }
    int left() const { return m_nLeft; }
    int top() const { return m_nTop; }
    int width() const { return m_nWidth; }
    int height() const { return m_nHeight; }
    /// Days in the shown month, leap day included.
    int daysInMonth() const;

    /// Title text: the month's name in the user's language (LC_TIME) and
    /// the four-digit year.
    QString titleText() const;
    /// Top-left corner and size of the grid cell of a day of the shown
    /// month (the shadow's cell; the face is drawn 2 pixels up and left).
    /// Uses the current frame and row count.
    void dayCell(int dayOfMonth, int& x, int& y, int& cellWidth, int& cellHeight) const;

private:
    void drawFrame(CalendarCanvas& Canvas);
    void DrawCalendar(CalendarCanvas& Canvas);
    void DrawTitle(CalendarCanvas& Canvas, const QString& title);
    void DrawWeekdayRow(CalendarCanvas& Canvas, int w);
    void DrawDays(CalendarCanvas& Canvas, int f, int count);
    void DrawToday(CalendarCanvas& Canvas, int f, int d);
    /// Cell of day d when the month starts in column f (0 = Sunday).
    void cell(int f, int d, int& x, int& y, int& w, int& h) const;
    void drawCentred(CalendarCanvas& Canvas, const QString& text, int cx, int cy, int cw, int ch);
    int colWidth() const;
    int rowHeight() const;

    std::string m_szDate;
    QDate date_;
    int m_nMonth = 0;
    int m_nYear = 0;
    int m_nDay = 0;
    int m_nFirstDay = 0;
    int m_nLeft = 20;
    int m_nTop = 20;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nRows = 0;
    QString m_szDayLetters;
    std::array<int, 12> m_vMonthDays{};
};

} // namespace skyloom::calendar
