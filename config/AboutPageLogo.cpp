#include "AboutPageLogo.h"
#include "graphics/io/PictureFile.h"

#include "common/Log.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace skyloom::config {

QPixmap skyloomLogo(QSize size) {
    if (size.isEmpty())
        size = QSize(240, 120);
    QPixmap logo(size);
    logo.fill(Qt::transparent);
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(QPointF(0, 0), QSizeF(size));
    const qreal w = r.width();
    const qreal h = r.height();

    QPainterPath card;
    card.addRoundedRect(r.adjusted(1, 1, -1, -1), h * 0.12, h * 0.12);
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0, QColor(18, 24, 64));
    sky.setColorAt(1, QColor(58, 86, 150));
    p.fillPath(card, sky);
    p.setClipPath(card);

    // The threads of the loom: gentle waves across the lower sky.
    for (int i = 0; i < 6; ++i) {
        QPainterPath thread;
        const qreal y = h * (0.55 + 0.07 * i);
        thread.moveTo(0, y);
        for (int k = 0; k < 4; ++k) {
            const qreal x0 = w * k / 4.0;
            thread.cubicTo(x0 + w / 12, y - h * 0.05, x0 + w / 6, y + h * 0.05, x0 + w / 4, y);
        }
        p.setPen(QPen(QColor(170, 200, 255, 60 + 25 * i), qMax<qreal>(1, h / 90)));
        p.drawPath(thread);
    }

    // Stars.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 230, 200));
    const qreal stars[][2] = {{0.08, 0.16}, {0.2, 0.3},   {0.32, 0.12}, {0.46, 0.24},
                              {0.6, 0.1},   {0.95, 0.12}, {0.14, 0.44}, {0.52, 0.07}};
    for (const auto& s : stars)
        p.drawEllipse(QPointF(w * s[0], h * s[1]), h / 70 + 0.5, h / 70 + 0.5);

    // The crescent: a full disc less a disc shifted to the upper right.
    const qreal m = h * 0.5;
    const QRectF moon(w * 0.72, h * 0.08, m, m);
    QPainterPath disc;
    disc.addEllipse(moon);
    QPainterPath bite;
    bite.addEllipse(moon.translated(m * 0.28, -m * 0.12));
    p.setBrush(QColor(255, 236, 170));
    p.drawPath(disc.subtracted(bite));

    // The name.
    QFont font("Sans Serif");
    font.setPixelSize(qMax(8, static_cast<int>(h * 0.26)));
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(245, 245, 255));
    p.drawText(QRectF(w * 0.06, h * 0.22, w * 0.7, h * 0.4), Qt::AlignLeft | Qt::AlignVCenter,
               "Skyloom");
    return logo;
}

QPixmap aboutLogo(const std::string& path, QSize size) {
    if (!path.empty()) {
        const QPixmap picture = QPixmap::fromImage(graphics::loadSetImage(path));
        if (!picture.isNull())
            return picture;
        logInfo("config", "About-page logo cannot be loaded, the built-in logo is shown: " + path);
    }
    return skyloomLogo(size);
}

} // namespace skyloom::config
