#include "bench/WeekSample.h"

#include "formats/TextCodec.h"

#include <QDir>
#include <QFile>

#include <cmath>

namespace tavi::bench {

RtfDocument dayNotes(int day, int gbkBytes)
{
    static const QString sentences[] = {
        QStringLiteral("上午九点开会，讨论本周的工作安排。"),
        QStringLiteral("下午完成报告初稿并发给王经理审阅。"),
        QStringLiteral("记得给客户回电话，确认合同细节。"),
        QStringLiteral("晚上七点健身，八点半读书一小时。"),
        QStringLiteral("周末带孩子去公园，顺便买菜。"),
    };
    const QColor colours[] = {QColor(255, 0, 0), QColor(0, 0, 255), QColor(0, 128, 0)};
    RtfDocument doc;
    int bytes = 0;
    for (int i = 0; bytes < gbkBytes; ++i) {
        RtfCharFormat format;
        if ((i + day) % 3 == 0)
            format.color = colours[i % 3];
        format.bold = (i + day) % 7 == 0;
        const QString text = sentences[(i + day) % 5] + (i % 4 == 3 ? QStringLiteral("\n") : QString());
        doc.append(text, format);
        bytes += int(encodeGbk(text).size());
    }
    return doc;
}

WeekTexts contentWeek()
{
    WeekTexts week;
    for (int day = 0; day < 6; ++day) {
        for (int line = 0; line < 8; ++line)
            week[day] += QStringLiteral("%1. 上午九点开会，讨论本周工作安排。\r\n").arg(line + 1);
    }
    return week;
}

Bitmap photoLikePicture(int width, int height)
{
    Bitmap picture(width, height, 24);
    const double cx = width / 2.0, cy = height / 2.0, scale = width / 1920.0;
    for (int y = 0; y < height; ++y) {
        std::uint8_t *p = picture.row(y);
        for (int x = 0; x < width; ++x, p += 3) {
            const double r = std::hypot(x - cx, y - cy) / scale;
            const int ys = int(y / scale), xs = int(x / scale);
            const bool band = ys > 700 && ys < 800 && ((xs / 16 + ys / 16) % 2 == 0);
            p[0] = std::uint8_t(band ? 30 : x * 255 / (width - 1));
            p[1] = std::uint8_t(band ? 220 : 128 + 127 * std::sin(r / 25.0));
            p[2] = std::uint8_t(band ? 30 : y * 255 / (height - 1));
        }
    }
    return picture;
}

std::vector<RtfFile> rtfCorpus(const QString &folder)
{
    std::vector<RtfFile> files;
    const QDir dir(folder);
    for (const QString &name : dir.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            files.push_back({file.fileName(), file.readAll()});
    }
    return files;
}

} // namespace tavi::bench
