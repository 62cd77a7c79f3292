#include "pictures/PictureConversion.h"

#include "pictures/Bitmap.h"
#include "pictures/BmpReader.h"
#include "pictures/GifDecoder.h"
#include "pictures/JpegCodec.h"
#include "formats/LineFile.h"

#include <QFile>

namespace tavi {
namespace {

// Where the file name starts. Only '/' separates folders on Linux: "壁纸
// 12:30.jpg" and "a\\b.jpg" are names of their own.
qsizetype nameStart(const QString &path)
{
    return path.lastIndexOf(u'/') + 1;
}

// Where the extension starts, or -1.
qsizetype extensionStart(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot >= nameStart(path) ? dot : -1;
}

QString asciiLower(QString text)
{
    for (QChar &c : text) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return text;
}

template <typename Decode>
QString convert(const QString &source, Decode decode)
{
    const QString target = bmpPathFor(source);
    // Only a source already named *.bmp maps onto itself; converting it would overwrite it.
    if (target == source)
        throw FileError(QStringLiteral("无法转换文件 %1：它已是 BMP 文件名").arg(source).toStdString());
    writeBmp(target, decode(readWholeFile(source)));
    return target;
}

} // namespace

QString fileNamePart(const QString &path)
{
    return path.mid(nameStart(path));
}

QString fileExtension(const QString &path)
{
    const qsizetype start = extensionStart(path);
    return start < 0 ? QString() : path.mid(start);
}

QString bmpPathFor(const QString &path)
{
    const qsizetype start = extensionStart(path);
    return (start < 0 ? path : path.left(start)) + QStringLiteral(".bmp");
}

QString convertToBmp(const QString &path)
{
    const QString extension = asciiLower(fileExtension(path));
    if (extension == u".bmp")
        return path;
    if (extension == u".jpg" || extension == u".jpeg")
        return jpegToBmp(path);
    if (extension == u".gif")
        return gifToBmp(path);
    return {};
}

QString jpegToBmp(const QString &source)
{
    return convert(source, [](const QByteArray &bytes) { return decodeJpeg(bytes); });
}

QString gifToBmp(const QString &source)
{
    return convert(source, [](const QByteArray &bytes) { return decodeGif(bytes); });
}

void resizePicture(const QString &source, const QString &target, int width, int height)
{
    const Bitmap picture = readBmp(source);
    Bitmap stretched(width, height, 24);
    for (int y = 0; y < height; ++y) {
        const int sourceY = int(std::int64_t(y) * picture.height() / height);
        std::uint8_t *out = stretched.row(y);
        for (int x = 0; x < width; ++x, out += 3) {
            const QRgb colour = picture.pixel(int(std::int64_t(x) * picture.width() / width), sourceY);
            out[0] = std::uint8_t(qBlue(colour));
            out[1] = std::uint8_t(qGreen(colour));
            out[2] = std::uint8_t(qRed(colour));
        }
    }
    writeBmp(target, stretched);
}

} // namespace tavi
