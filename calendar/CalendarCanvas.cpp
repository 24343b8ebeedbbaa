#include "calendar/CalendarCanvas.h"

#include "common/Profile.h"

#include <QFontMetrics>
#include <algorithm>

namespace skyloom::calendar {

QFont QImageCanvas::calendarFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif")});
    font.setStyleHint(QFont::Serif);
    font.setBold(true);
    return font;
}

int QImageCanvas::pixelsForPoints(double points) {
    const double pixels = std::clamp(points * 96.0 / 72.0, 1.0, 32767.0);
    return static_cast<int>(std::max<std::int64_t>(1, roundHalfEven(pixels)));
}

QImageCanvas::QImageCanvas(QImage& image, Edges edges) : image_(image), font_(calendarFont()) {
    if (edges == Edges::Hard)
        font_.setStyleStrategy(QFont::NoAntialias);
    SetFontSize(points_);
}

QImageCanvas::~QImageCanvas() = default; // the painter ends before the picture is used again

void QImageCanvas::SetFontSize(double points) {
    points_ = points;
    font_.setPixelSize(pixelsForPoints(points));
    if (painter_)
        painter_->setFont(font_);
}

int QImageCanvas::TextWidth(const QString& text) const {
    return QFontMetrics(font_).horizontalAdvance(text);
}

int QImageCanvas::TextHeight(const QString& text) const {
    // One line of text is as high as the font's line, whatever its glyphs.
    Q_UNUSED(text);
    return QFontMetrics(font_).height();
}

void QImageCanvas::DrawText(int x, int y, const QString& text) {
    if (image_.isNull())
        return;
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(&image_);
        if (!painter_->isActive()) {
            painter_.reset();
            return;
        }
        // Coordinates are the picture's own pixels, whatever its device pixel ratio.
        painter_->scale(1.0 / image_.devicePixelRatio(), 1.0 / image_.devicePixelRatio());
        painter_->setRenderHint(QPainter::TextAntialiasing,
                                font_.styleStrategy() != QFont::NoAntialias);
        painter_->setFont(font_);
    }
    painter_->setPen(QColor::fromRgb(colour_));
    painter_->drawText(QPoint(x, y + QFontMetrics(font_).ascent()), text);
}

} // namespace skyloom::calendar
