#include "pictures/BmpReader.h"

#include "formats/LineFile.h"
#include "formats/ParseError.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <string>
#include <vector>

namespace tavi {

namespace {

enum Compression : std::uint32_t {
    Rgb = 0,
    Rle8 = 1,
    Rle4 = 2,
    BitFields = 3,
    Jpeg = 4,
    Png = 5,
    AlphaBitFields = 6,
};

constexpr std::int64_t kFileHeaderSize = 14;
constexpr std::int64_t kMaxSide = 65535;

[[noreturn]] void fail(const std::string &what)
{
    throw ParseError("BMP: " + what);
}

std::uint16_t u16(const std::uint8_t *p)
{
    return qFromLittleEndian<std::uint16_t>(p);
}

std::uint32_t u32(const std::uint8_t *p)
{
    return qFromLittleEndian<std::uint32_t>(p);
}

std::int32_t i32(const std::uint8_t *p)
{
    return qFromLittleEndian<std::int32_t>(p);
}

std::string sizeText(std::int64_t width, std::int64_t height)
{
    return std::to_string(width) + " x " + std::to_string(height);
}

// The fields of whichever info header the file has, widened to one shape.
struct Header {
    std::int64_t width = 0;
    std::int64_t height = 0; // as stored: negative for top-down rows
    int bitCount = 0;
    std::uint32_t compression = Rgb;
    std::uint32_t coloursUsed = 0;
    std::array<std::uint32_t, 4> masks{}; // red, green, blue, alpha
    int paletteEntrySize = 4;
    std::int64_t paletteStart = 0; // file offset just after the headers and masks
};

Header readHeader(const std::uint8_t *file, std::int64_t size)
{
    if (size < kFileHeaderSize + 4)
        fail("file too short");
    if (file[0] != 'B' || file[1] != 'M')
        fail("not a BMP file");
    const std::uint32_t infoSize = u32(file + kFileHeaderSize);
    // 12: OS/2 1.x; 16..64: OS/2 2.x, which may cut its header short, and
    // Windows' 40, 52 and 56; 108 and 124: Windows V4 and V5.
    const bool os2v1 = infoSize == 12;
    const bool windows = infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 108 || infoSize == 124;
    const bool os2v2 = !windows && infoSize >= 16 && infoSize <= 64;
    if (!os2v1 && !windows && !os2v2)
        fail("unsupported info header size " + std::to_string(infoSize));
    if (kFileHeaderSize + infoSize > size)
        fail("truncated header");

    // Fields a short OS/2 2.x header leaves out read as zero.
    std::array<std::uint8_t, 124> info{};
    std::memcpy(info.data(), file + kFileHeaderSize, infoSize);
    Header h;
    h.paletteStart = kFileHeaderSize + infoSize;
    if (os2v1) {
        h.width = u16(&info[4]);
        h.height = u16(&info[6]);
        h.bitCount = u16(&info[10]);
        h.paletteEntrySize = 3;
        return h;
    }
    h.width = i32(&info[4]);
    h.height = i32(&info[8]);
    h.bitCount = u16(&info[14]);
    h.compression = u32(&info[16]);
    h.coloursUsed = u32(&info[32]);
    if (os2v2 && h.compression == 3)
        fail("OS/2 Huffman compression is not supported");
    if (os2v2 && h.compression == 4)
        fail("OS/2 RLE24 compression is not supported");
    if (h.compression == BitFields || h.compression == AlphaBitFields) {
        if (infoSize >= 52) {
            for (int i = 0; i < 3; ++i)
                h.masks[i] = u32(&info[40 + 4 * i]);
            if (infoSize >= 56)
                h.masks[3] = u32(&info[52]);
        } else {
            // The 40-byte header keeps its masks just after itself, before the palette.
            const int count = h.compression == AlphaBitFields ? 4 : 3;
            if (h.paletteStart + 4 * count > size)
                fail("truncated header");
            for (int i = 0; i < count; ++i)
                h.masks[i] = u32(file + h.paletteStart + 4 * i);
            h.paletteStart += 4 * count;
        }
    }
    return h;
}

void checkFormat(const Header &h)
{
    switch (h.compression) {
    case Rgb:
        if (h.bitCount != 1 && h.bitCount != 4 && h.bitCount != 8 && h.bitCount != 16 && h.bitCount != 24
            && h.bitCount != 32)
            fail(std::to_string(h.bitCount) + " bits per pixel are not supported");
        break;
    case Rle8:
        if (h.bitCount != 8)
            fail("RLE8 compression needs 8 bits per pixel, not " + std::to_string(h.bitCount));
        break;
    case Rle4:
        if (h.bitCount != 4)
            fail("RLE4 compression needs 4 bits per pixel, not " + std::to_string(h.bitCount));
        break;
    case BitFields:
    case AlphaBitFields:
        if (h.bitCount != 16 && h.bitCount != 32)
            fail("colour masks need 16 or 32 bits per pixel, not " + std::to_string(h.bitCount));
        break;
    case Jpeg:
        fail("embedded JPEG pictures are not supported");
    case Png:
        fail("embedded PNG pictures are not supported");
    default:
        fail("unsupported compression " + std::to_string(h.compression));
    }
    if (h.width <= 0 || h.height == 0)
        fail("invalid picture size " + sizeText(h.width, h.height));
    const std::int64_t height = h.height < 0 ? -h.height : h.height;
    if (h.width > kMaxSide || height > kMaxSide || h.width * height > Bitmap::kMaxPixels)
        fail("picture size " + sizeText(h.width, height) + " is too large");
    if (h.height < 0 && (h.compression == Rle8 || h.compression == Rle4))
        fail("compressed pictures cannot be top-down");
}

// round(v * 255 / max); max is odd, so there is never a tie.
std::uint8_t scaleTo8(std::uint32_t v, std::uint32_t max)
{
    return std::uint8_t((std::uint64_t(v) * 510 + max) / (2 * std::uint64_t(max)));
}

// One colour channel of a bitfield pixel, scaled from its n bits to 8. A plain
// value, so that the row loops keep it in registers while they store bytes.
struct Channel {
    int shift = 0;
    std::uint32_t max = 0;
    const std::uint8_t *table = nullptr; // for channels of up to 16 bits

    std::uint8_t operator()(std::uint32_t pixel) const
    {
        const std::uint32_t v = (pixel >> shift) & max;
        return table ? table[v] : scaleTo8(v, max);
    }
};

// An absent channel (mask 0) reads as 0 through its one-entry table.
Channel makeChannel(std::uint32_t mask, int bitCount, std::vector<std::uint8_t> &table)
{
    Channel c;
    if (mask != 0) {
        if (bitCount < 32 && (mask >> bitCount) != 0)
            fail("colour mask reaches beyond the pixel");
        c.shift = std::countr_zero(mask);
        c.max = mask >> c.shift;
        if ((c.max & (c.max + 1)) != 0)
            fail("colour mask is not contiguous");
    }
    if (c.max <= 0xFFFF) {
        table.assign(std::size_t(c.max) + 1, 0);
        for (std::uint32_t v = 1; v <= c.max; ++v)
            table[v] = scaleTo8(v, c.max);
        c.table = table.data();
    }
    return c;
}

std::vector<QRgb> readPalette(const std::uint8_t *file, const Header &h, std::int64_t pixelOffset)
{
    const std::int64_t addressable = std::int64_t(1) << h.bitCount;
    std::int64_t count = h.coloursUsed == 0 ? addressable : std::min<std::int64_t>(h.coloursUsed, addressable);
    // A palette cut short by the pixel data keeps the entries that are there.
    count = std::min(count, (pixelOffset - h.paletteStart) / h.paletteEntrySize);
    std::vector<QRgb> palette(static_cast<std::size_t>(count));
    const std::uint8_t *entry = file + h.paletteStart;
    for (QRgb &colour : palette) {
        colour = qRgb(entry[2], entry[1], entry[0]);
        entry += h.paletteEntrySize;
    }
    return palette;
}

void decodeRows(const std::uint8_t *data, const Header &h, Bitmap &out)
{
    const int width = out.width();
    const int height = out.height();
    const std::size_t stride = std::size_t(Bitmap::strideFor(width, h.bitCount));
    const bool bitFields = h.compression == BitFields || h.compression == AlphaBitFields;
    std::array<std::uint32_t, 4> masks = h.masks;
    if (h.bitCount == 16 && !bitFields)
        masks = {0x7C00, 0x03E0, 0x001F, 0};
    const bool viaMasks = h.bitCount == 16 || bitFields;
    std::array<std::vector<std::uint8_t>, 4> tables;
    const Channel red = makeChannel(viaMasks ? masks[0] : 0, h.bitCount, tables[0]);
    const Channel green = makeChannel(viaMasks ? masks[1] : 0, h.bitCount, tables[1]);
    const Channel blue = makeChannel(viaMasks ? masks[2] : 0, h.bitCount, tables[2]);
    const Channel alpha = makeChannel(viaMasks ? masks[3] : 0, h.bitCount, tables[3]);
    // The usual 32-bit masks pick whole bytes, which need no scaling.
    const auto wholeByte = [](const Channel &c) { return c.max == 0xFF && c.shift % 8 == 0; };
    const bool byteChannels = wholeByte(red) && wholeByte(green) && wholeByte(blue)
                              && (alpha.max == 0 || wholeByte(alpha));

    for (int r = 0; r < height; ++r) {
        const std::uint8_t *src = data + std::size_t(r) * stride;
        std::uint8_t *dst = out.row(h.height < 0 ? r : height - 1 - r);
        switch (h.bitCount) {
        case 1:
            for (int x = 0; x < width; ++x)
                dst[x] = (src[x >> 3] >> (7 - (x & 7))) & 1;
            break;
        case 4:
            for (int x = 0; x < width; ++x)
                dst[x] = (x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4);
            break;
        case 8:
            std::memcpy(dst, src, std::size_t(width));
            break;
        case 16:
            for (int x = 0; x < width; ++x, dst += 3) {
                const std::uint32_t pixel = u16(src + 2 * x);
                dst[0] = blue(pixel);
                dst[1] = green(pixel);
                dst[2] = red(pixel);
            }
            break;
        case 24:
            std::memcpy(dst, src, std::size_t(width) * 3);
            break;
        default:
            if (!bitFields) {
                std::memcpy(dst, src, std::size_t(width) * 4);
                break;
            }
            if (byteChannels) {
                for (int x = 0; x < width; ++x, dst += 4, src += 4) {
                    dst[0] = src[blue.shift / 8];
                    dst[1] = src[green.shift / 8];
                    dst[2] = src[red.shift / 8];
                    dst[3] = alpha.max ? src[alpha.shift / 8] : 0;
                }
                break;
            }
            for (int x = 0; x < width; ++x, dst += 4) {
                const std::uint32_t pixel = u32(src + 4 * x);
                dst[0] = blue(pixel);
                dst[1] = green(pixel);
                dst[2] = red(pixel);
                dst[3] = alpha(pixel);
            }
            break;
        }
    }
}

// RLE8 and RLE4. Runs are clipped at the right edge, a position moved past the
// top ends the picture, and what no run reaches stays index 0.
void decodeRle(const std::uint8_t *p, const std::uint8_t *end, bool fourBits, Bitmap &out)
{
    const std::int64_t width = out.width();
    const std::int64_t height = out.height();
    std::int64_t x = 0;
    std::int64_t line = 0; // from the bottom
    while (line < height) {
        if (end - p < 2)
            fail("truncated RLE data");
        const int count = p[0];
        const std::uint8_t value = p[1];
        p += 2;
        std::uint8_t *row = out.row(int(height - 1 - line));
        if (count > 0) {
            const std::int64_t n = std::min<std::int64_t>(count, std::max<std::int64_t>(width - x, 0));
            if (!fourBits) {
                if (n > 0)
                    std::memset(row + x, value, std::size_t(n));
            } else {
                for (std::int64_t i = 0; i < n; ++i)
                    row[x + i] = (i & 1) ? (value & 0x0F) : (value >> 4);
            }
            x += count;
        } else if (value == 0) {
            x = 0;
            ++line;
        } else if (value == 1) {
            return;
        } else if (value == 2) {
            if (end - p < 2)
                fail("truncated RLE data");
            x += p[0];
            line += p[1];
            p += 2;
        } else {
            const std::int64_t bytes = fourBits ? (value + 1) / 2 : value;
            if (end - p < bytes)
                fail("truncated RLE data");
            const std::int64_t n = std::min<std::int64_t>(value, std::max<std::int64_t>(width - x, 0));
            for (std::int64_t i = 0; i < n; ++i)
                row[x + i] = !fourBits ? p[i] : (i & 1) ? (p[i / 2] & 0x0F) : (p[i / 2] >> 4);
            x += value;
            // Absolute runs are padded to an even byte count; the last one may lack its padding.
            p += std::min<std::int64_t>((bytes + 1) & ~std::int64_t(1), end - p);
        }
    }
}

} // namespace

Bitmap decodeBmp(QByteArrayView bytes)
{
    const auto *file = reinterpret_cast<const std::uint8_t *>(bytes.data());
    const std::int64_t size = bytes.size();
    const Header h = readHeader(file, size);
    checkFormat(h);

    const std::int64_t pixelOffset = u32(file + 10);
    if (pixelOffset < h.paletteStart || pixelOffset > size)
        fail("pixel data offset " + std::to_string(pixelOffset) + " is out of range");

    const int width = int(h.width);
    const int height = int(h.height < 0 ? -h.height : h.height);
    const bool rle = h.compression == Rle8 || h.compression == Rle4;
    if (!rle) {
        // Checked before anything is allocated. The last row may lack its padding.
        const std::int64_t rowBits = h.width * h.bitCount;
        const std::int64_t stride = (rowBits + 31) / 32 * 4;
        const std::int64_t needed = stride * (height - 1) + (rowBits + 7) / 8;
        if (needed > size - pixelOffset)
            fail("truncated pixel data");
    }

    const int outBits = h.bitCount <= 8 ? 8 : h.bitCount == 32 ? 32 : 24;
    Bitmap out(width, height, outBits);
    if (h.bitCount <= 8)
        out.palette = readPalette(file, h, pixelOffset);
    if (rle)
        decodeRle(file + pixelOffset, file + size, h.compression == Rle4, out);
    else
        decodeRows(file + pixelOffset, h, out);
    return out;
}

Bitmap readBmp(const QString &path)
{
    return decodeBmp(readWholeFile(path));
}

} // namespace tavi
