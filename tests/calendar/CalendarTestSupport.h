#pragma once
// Shared by the calendar tests: one QGuiApplication per test program (text
// needs Qt's font database), a canvas that records what is drawn, and a
// pixel counter.

#include "calendar/CalendarCanvas.h"

#include <QGuiApplication>
#include <QImage>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace skyloom::test {

class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (!QGuiApplication::instance())
            app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "test_calendar";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QGuiApplication> app_;
};

/// The program's one GuiEnvironment, whichever of its files include this.
inline const auto* const kGui = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

constexpr QRgb kBlack = 0xff000000u, kWhite = 0xffffffffu, kYellow = 0xffffff00u,
               kGreen = 0xff00ff00u;

/// Records every text drawn; texts are 6 pixels a character and 10 high.
class RecordingCanvas : public calendar::CalendarCanvas {
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

/// Pixels of exactly `colour` inside the rectangle (clipped to the picture).
inline int count(const QImage& img, QRect r, QRgb colour) {
    int n = 0;
    r &= img.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += (img.pixel(x, y) | 0xff000000u) == (colour | 0xff000000u);
    return n;
}

} // namespace skyloom::test
