#include "backgrounds/DefaultBackground.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace tavi {
namespace {

// A ridge line across the whole width: a sum of two slow waves.
QPainterPath hill(int width, int height, double base, double amplitude, double phase)
{
    QPainterPath path(QPointF(0, height));
    for (int x = 0; x <= width; x += 8) {
        const double t = double(x) / width;
        const double y = base + amplitude * (std::sin(t * 5.2 + phase) * 0.6 + std::sin(t * 11.7 + phase * 2) * 0.25);
        path.lineTo(x, y);
    }
    path.lineTo(width, height);
    path.closeSubpath();
    return path;
}

} // namespace

Bitmap makeDefaultBackground()
{
    constexpr int W = 1280, H = 800;
    QImage image(W, H, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);

    QLinearGradient sky(0, 0, 0, H * 0.7);
    sky.setColorAt(0.0, QColor(0x6F, 0x9F, 0xD0));
    sky.setColorAt(0.6, QColor(0xB9, 0xD4, 0xEA));
    sky.setColorAt(1.0, QColor(0xF2, 0xE6, 0xD0));
    painter.fillRect(0, 0, W, H, sky);

    QRadialGradient sun(W * 0.22, H * 0.3, H * 0.35);
    sun.setColorAt(0.0, QColor(255, 250, 225, 230));
    sun.setColorAt(0.15, QColor(255, 240, 200, 120));
    sun.setColorAt(1.0, QColor(255, 240, 200, 0));
    painter.fillRect(0, 0, W, H, sun);

    const struct {
        double base, amplitude, phase;
        QColor colour;
    } layers[] = {
        {H * 0.58, 38, 0.4, QColor(0x8F, 0xAE, 0xA8)},
        {H * 0.66, 46, 1.9, QColor(0x6D, 0x95, 0x7C)},
        {H * 0.76, 40, 3.1, QColor(0x4E, 0x7A, 0x5A)},
        {H * 0.87, 30, 4.6, QColor(0x35, 0x5E, 0x43)},
    };
    painter.setPen(Qt::NoPen);
    for (const auto &layer : layers) {
        painter.setBrush(layer.colour);
        painter.drawPath(hill(W, H, layer.base, layer.amplitude, layer.phase));
    }
    painter.end();
    return bitmapFromImage(image);
}

} // namespace tavi
