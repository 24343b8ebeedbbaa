#pragma once
// The drawing surface the calendar renderer draws on. The renderer needs
// only the size, a text colour, a font size in points, text measurement and
// transparent text drawing, so the saver's screen canvas and the wallpaper's
// hidden surface look the same to it.

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>
#include <memory>

namespace skyloom::calendar {

class CalendarCanvas {
public:
    virtual ~CalendarCanvas() = default;

    virtual int Width() const = 0;  ///< pixels
    virtual int Height() const = 0; ///< pixels

    virtual QRgb ForeColor() const = 0;
    virtual void SetForeColor(QRgb colour) = 0;

    /// The font size in points exactly as last set; face and weight are the canvas's own.
    virtual double FontSize() const = 0;
    virtual void SetFontSize(double points) = 0;

    /// Width and height in pixels of the text in the current font.
    virtual int TextWidth(const QString& text) const = 0;
    virtual int TextHeight(const QString& text) const = 0;

    /// Draws the text with its top-left corner at (x, y); only the glyphs
    /// are painted, whatever lies around them stays visible.
    virtual void DrawText(int x, int y, const QString& text) = 0;
};

/// A canvas over a picture the caller owns (the saver's screen canvas, the
/// wallpaper's hidden surface). Bold serif text: "Times New Roman" where it
/// is installed, else its metric twin Liberation Serif.
///
/// Points become pixels at 96 per inch, rounded to whole pixels, so the
/// text keeps the proportions it has on a 96-dpi desktop whatever the
/// picture's own resolution says.
class QImageCanvas : public CalendarCanvas {
public:
    enum class Edges { Smooth, Hard };

    /// Hard edges draw every glyph pixel in exactly the text colour, which
    /// a key-coloured surface needs: smoothed edges would mix the key colour
    /// into the text and show as a coloured fringe once the key is removed.
    explicit QImageCanvas(QImage& image, Edges edges = Edges::Smooth);
    ~QImageCanvas() override;
    QImageCanvas(const QImageCanvas&) = delete;
    QImageCanvas& operator=(const QImageCanvas&) = delete;

    int Width() const override { return image_.width(); }
    int Height() const override { return image_.height(); }
    QRgb ForeColor() const override { return colour_; }
    void SetForeColor(QRgb colour) override { colour_ = colour; }
    double FontSize() const override { return points_; }
    void SetFontSize(double points) override;
    int TextWidth(const QString& text) const override;
    int TextHeight(const QString& text) const override;
    void DrawText(int x, int y, const QString& text) override;

    /// The font a calendar canvas draws with (size not yet set).
    static QFont calendarFont();
    /// Pixel height of a font of the given points (at least 1).
    static int pixelsForPoints(double points);

private:
    QImage& image_;
    QFont font_;
    QRgb colour_ = qRgb(0, 0, 0);
    double points_ = 12.0;
    std::unique_ptr<QPainter> painter_; // opened on the first text drawn
};

} // namespace skyloom::calendar
