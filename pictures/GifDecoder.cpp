#include "pictures/GifDecoder.h"

#include "formats/ParseError.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <gif_lib.h>

namespace tavi {
namespace {

struct MemoryInput {
    const GifByteType *data;
    qsizetype size;
    qsizetype position;
    // Inside the image data, reading past the end gives zeros: giflib reads
    // whole sub-blocks, and would otherwise drop the last, partial one of a
    // truncated file with all the pixels it holds. The zeros then end the
    // image as a damaged one (an empty sub-block before the end code).
    bool padAtEnd;
};

int readInput(GifFileType *gif, GifByteType *buffer, int length)
{
    auto *input = static_cast<MemoryInput *>(gif->UserData);
    const qsizetype count = std::clamp<qsizetype>(input->size - input->position, 0, length);
    if (count > 0)
        std::memcpy(buffer, input->data + input->position, std::size_t(count));
    input->position += count;
    if (count < length && input->padAtEnd) {
        std::memset(buffer + count, 0, std::size_t(length - count));
        return length;
    }
    return int(count);
}

struct CloseGif {
    void operator()(GifFileType *gif) const
    {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using GifFile = std::unique_ptr<GifFileType, CloseGif>;

ParseError gifError(int code)
{
    const char *text = GifErrorString(code);
    return ParseError(std::string("GIF: ") + (text ? text : "damaged file"));
}

std::string sizeText(std::int64_t width, std::int64_t height)
{
    return std::to_string(width) + " x " + std::to_string(height);
}

// Moves the reader to the first image descriptor, skipping extensions.
void findFirstImage(GifFileType *gif)
{
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR)
            throw gifError(gif->Error);
        if (type == IMAGE_DESC_RECORD_TYPE)
            return;
        if (type == TERMINATE_RECORD_TYPE)
            throw ParseError("GIF: the file holds no image");
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType *block = nullptr;
            if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
                throw gifError(gif->Error);
            while (block) {
                if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
                    throw gifError(gif->Error);
            }
        }
    }
}

std::vector<QRgb> paletteOf(const ColorMapObject *table)
{
    std::vector<QRgb> palette;
    if (!table) {
        for (int i = 0; i < 256; ++i)
            palette.push_back(qRgb(i, i, i));
        return palette;
    }
    for (int i = 0; i < table->ColorCount; ++i)
        palette.push_back(qRgb(table->Colors[i].Red, table->Colors[i].Green, table->Colors[i].Blue));
    return palette;
}

std::uint8_t nearestEntry(const std::vector<QRgb> &palette, QRgb colour)
{
    std::size_t best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (std::size_t i = 0; i < palette.size() && i < 256; ++i) {
        const int dr = qRed(palette[i]) - qRed(colour);
        const int dg = qGreen(palette[i]) - qGreen(colour);
        const int db = qBlue(palette[i]) - qBlue(colour);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return std::uint8_t(best);
}

// The index uncovered pixels take, in the palette of the image's pixels.
std::uint8_t backgroundIndex(const GifFileType *gif, const std::vector<QRgb> &palette)
{
    const ColorMapObject *global = gif->SColorMap;
    if (!global || gif->SBackGroundColor >= global->ColorCount)
        return 0;
    if (!gif->Image.ColorMap)
        return std::uint8_t(gif->SBackGroundColor);
    const GifColorType &c = global->Colors[gif->SBackGroundColor];
    return nearestEntry(palette, qRgb(c.Red, c.Green, c.Blue));
}

} // namespace

Bitmap decodeGif(QByteArrayView bytes)
{
    // giflib itself only checks "GIF".
    if (!bytes.startsWith("GIF87a") && !bytes.startsWith("GIF89a"))
        throw ParseError("GIF: not a GIF87a or GIF89a file");
    MemoryInput input{reinterpret_cast<const GifByteType *>(bytes.data()), bytes.size(), 0, false};
    int openError = 0;
    const GifFile file(DGifOpen(&input, readInput, &openError));
    if (!file)
        throw gifError(openError);
    GifFileType *gif = file.get();
    const int screenWidth = gif->SWidth;
    const int screenHeight = gif->SHeight;
    if (std::int64_t(screenWidth) * screenHeight > Bitmap::kMaxPixels)
        throw ParseError("GIF: logical screen of " + sizeText(screenWidth, screenHeight) + " pixels is too large");

    findFirstImage(gif);
    if (DGifGetImageDesc(gif) == GIF_ERROR)
        throw gifError(gif->Error);
    const GifImageDesc &image = gif->Image;
    input.padAtEnd = true;
    if (std::int64_t(image.Width) * image.Height > Bitmap::kMaxPixels)
        throw ParseError("GIF: image of " + sizeText(image.Width, image.Height) + " pixels is too large");

    const bool wholePicture =
        (image.Width == screenWidth && image.Height == screenHeight) || screenWidth == 0 || screenHeight == 0;
    Bitmap picture(wholePicture ? image.Width : screenWidth, wholePicture ? image.Height : screenHeight, 8);
    if (picture.isEmpty())
        throw ParseError("GIF: the picture has no pixels");
    picture.palette = paletteOf(image.ColorMap ? image.ColorMap : gif->SColorMap);
    const int left = wholePicture ? 0 : image.Left;
    const int top = wholePicture ? 0 : image.Top;
    const std::uint8_t background = backgroundIndex(gif, picture.palette);
    for (int y = 0; y < picture.height(); ++y)
        std::memset(picture.row(y), background, std::size_t(picture.width()));

    // The part of each image row that lands on the picture.
    const int firstColumn = std::min(left, picture.width());
    const int columns = std::max(0, std::min(image.Width, picture.width() - left));
    std::vector<GifPixelType> line(std::size_t(std::max(image.Width, 1)));
    int rowsRead = 0;
    // Data that breaks off or goes bad after the first row ends the image
    // there, as truncated JPEGs do: giflib has stored the pixels it decoded
    // before the break (with those of the zeros padding a cut sub-block), the
    // rest of the line keeps the background it was filled with.
    const auto readRow = [&](int y) {
        std::memset(line.data(), background, line.size());
        const bool complete = DGifGetLine(gif, line.data(), image.Width) == GIF_OK;
        if (!complete && rowsRead == 0)
            throw gifError(gif->Error);
        ++rowsRead;
        if (top + y < picture.height() && columns > 0)
            std::memcpy(picture.row(top + y) + firstColumn, line.data(), std::size_t(columns));
        return complete;
    };
    if (image.Width > 0 && image.Height > 0) {
        const bool interlaced = image.Interlace;
        static constexpr int kStart[] = {0, 4, 2, 1};
        static constexpr int kStep[] = {8, 8, 4, 2};
        bool reading = true;
        for (int pass = 0; reading && pass < (interlaced ? 4 : 1); ++pass) {
            const int step = interlaced ? kStep[pass] : 1;
            for (int y = interlaced ? kStart[pass] : 0; reading && y < image.Height; y += step)
                reading = readRow(y);
        }
    }
    return picture;
}

} // namespace tavi
