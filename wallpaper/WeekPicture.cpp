#include "wallpaper/WeekPicture.h"

#include "notes/WeekDayName.h"

#include <QFont>
#include <QImage>
#include <QPainter>


namespace tavi {
namespace {

// Windows line ends as Qt's text layout wants them: every CR LF, CR or LF one break.
QString withLineFeeds(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}


} // namespace

Bitmap drawWeekPicture(const WeekTexts &week, const ContentColours &colours)
{
    constexpr int W = kContentWidth, H = kContentHeight;
    QImage image(W, H, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(13);
    font.setStyleStrategy(QFont::NoAntialias);
    painter.setFont(font);

    const QPen gridPen(colours.windowBackground, 1);
    const QPen textPen(colours.windowText);

    // The page: white inside, its outline in the pen colour on the first and last row and column.
    painter.fillRect(0, 0, W, H, Qt::white);
    painter.setPen(gridPen);
    painter.drawRect(0, 0, W - 1, H - 1);

    // A line whose end point is not drawn, and a heading on its own white background.
    auto line = [&](int x1, int y1, int x2, int y2) {
        painter.setPen(gridPen);
        painter.drawLine(x1, y1, x2 - (x2 > x1 ? 1 : 0), y2 - (y2 > y1 ? 1 : 0));
    };
    auto heading = [&](int day, int x, int y) {
        painter.setPen(textPen);
        painter.setBackgroundMode(Qt::OpaqueMode);
        painter.setBackground(Qt::white);
        painter.drawText(QRect(x, y, W, H), Qt::AlignLeft | Qt::AlignTop, weekdayHeading(day));
        painter.setBackgroundMode(Qt::TransparentMode);
    };

    const int C = W / 3;        // 216
    const int R = (H - 40) / 2; // 205
    for (int i = 1; i <= 6; ++i) {
        if (i == 1) {
            line(0, 20, W, 20);
            heading(1, 24, 3);
        } else if (i <= 3) {
            heading(i, (i - 1) * C + 24, 3);
            line((i - 1) * C, 0, (i - 1) * C, H);
        } else if (i == 4) {
            line(0, R + 4, W, R + 4);
            line(0, R + 24, W, R + 24);
            heading(4, 24, R + 6);
        } else {
            heading(i, (i - 4) * C + 24, R + 6);
        }
    }

    painter.setPen(textPen);
    std::size_t day = 0;
    for (int j = 1; j <= 2; ++j) {
        for (int k = 0; k <= 2; ++k, ++day) {
            const QRect cell(QPoint(k * C + 2, (j - 1) * R + 25), QPoint((k + 1) * C - 2 - 1, j * R + 3 - 1));
            painter.setClipRect(cell);
            // Each day's text and an empty second line after it.
            painter.drawText(cell, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextShowMnemonic,
                             withLineFeeds(week[day] + QStringLiteral("\n\r")));
            painter.setClipping(false);
        }
    }
    painter.end();
    return bitmapFromImage(image);
}

} // namespace tavi
