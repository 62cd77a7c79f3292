#include "pictures/JpegCodec.h"

#include "formats/ParseError.h"

#include <csetjmp>
#include <cstdint>
#include <cstdio> // jpeglib.h needs FILE
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include <jpeglib.h>

// libjpeg reports a fatal error by calling error_exit, which must not return.
// Ours longjmps back to the setjmp of the step that called into the library.
// Throwing instead would unwind through libjpeg's C frames, which promise
// nothing about that. Each step below is a plain function that creates no
// object with a destructor and reads none of its locals after the jump, so
// the jump skips nothing C++ would have to clean up; everything with a
// destructor (the picture, buffers, the guard calling jpeg_destroy_*) lives in
// the caller, which the jump never leaves.

namespace tavi {
namespace {

struct ErrorManager {
    jpeg_error_mgr pub; // first, so that cinfo->err points at the whole struct
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

ErrorManager &errorManager(j_common_ptr cinfo)
{
    return *reinterpret_cast<ErrorManager *>(cinfo->err);
}

[[noreturn]] void failWith(j_common_ptr cinfo, const char *message)
{
    ErrorManager &err = errorManager(cinfo);
    std::snprintf(err.message, sizeof err.message, "%s", message);
    std::longjmp(err.jump, 1);
}

[[noreturn]] void onError(j_common_ptr cinfo)
{
    ErrorManager &err = errorManager(cinfo);
    err.pub.format_message(cinfo, err.message);
    std::longjmp(err.jump, 1);
}

// Warnings (corrupt data, premature end) are not failures: libjpeg pads and
// finishes. By default it would print them to stderr.
void onMessage(j_common_ptr, int) {}

// A progressive file can hold any number of scans, each of them a pass over
// the whole picture: a few kilobytes could keep the decoder busy for minutes.
// Real encoders write a dozen or so.
constexpr int kMaxScans = 500;

void onProgress(j_common_ptr cinfo)
{
    if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans)
        failWith(cinfo, "too many scans in a progressive JPEG file");
}

void installErrorHandling(ErrorManager &err)
{
    jpeg_std_error(&err.pub);
    err.pub.error_exit = onError;
    err.pub.emit_message = onMessage;
    err.message[0] = '\0';
}

struct Decoder {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    jpeg_progress_mgr progress;
};

// What djpeg's BMP writer does with CMYK (Adobe files store the inks inverted,
// so these products are the RGB values).
void cmykToBgr(const JSAMPLE *cmyk, std::uint8_t *bgr, JDIMENSION width)
{
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        const unsigned k = cmyk[3];
        bgr[2] = std::uint8_t((cmyk[0] * k + 127) / 255);
        bgr[1] = std::uint8_t((cmyk[1] * k + 127) / 255);
        bgr[0] = std::uint8_t((cmyk[2] * k + 127) / 255);
    }
}

bool startReading(Decoder &d, const unsigned char *data, unsigned long size)
{
    if (setjmp(d.err.jump))
        return false;
    jpeg_create_decompress(&d.cinfo);
    d.cinfo.progress = &d.progress;
    jpeg_mem_src(&d.cinfo, data, size);
    jpeg_read_header(&d.cinfo, TRUE);
    return true;
}

bool startDecompress(Decoder &d)
{
    if (setjmp(d.err.jump))
        return false;
    jpeg_start_decompress(&d.cinfo);
    return true;
}

// cmykRow: room for one row of CMYK samples when the output is CMYK.
bool readRows(Decoder &d, Bitmap &picture, JSAMPLE *cmykRow)
{
    if (setjmp(d.err.jump))
        return false;
    while (d.cinfo.output_scanline < d.cinfo.output_height) {
        const JDIMENSION y = d.cinfo.output_scanline;
        JSAMPROW row = cmykRow ? cmykRow : picture.row(int(y));
        if (jpeg_read_scanlines(&d.cinfo, &row, 1) != 1)
            failWith(reinterpret_cast<j_common_ptr>(&d.cinfo), "JPEG data ends early");
        if (cmykRow)
            cmykToBgr(cmykRow, picture.row(int(y)), d.cinfo.output_width);
    }
    jpeg_finish_decompress(&d.cinfo);
    return true;
}

struct Encoder {
    jpeg_compress_struct cinfo;
    ErrorManager err;
};

// rgbRow: room for one row of RGB samples when the picture has a palette.
bool compress(Encoder &e, const Bitmap &picture, int quality, JSAMPLE *rgbRow, unsigned char **out,
              unsigned long *size)
{
    if (setjmp(e.err.jump))
        return false;
    jpeg_create_compress(&e.cinfo);
    jpeg_mem_dest(&e.cinfo, out, size);
    e.cinfo.image_width = JDIMENSION(picture.width());
    e.cinfo.image_height = JDIMENSION(picture.height());
    switch (picture.bitsPerPixel()) {
    case 8:
        e.cinfo.in_color_space = JCS_RGB;
        e.cinfo.input_components = 3;
        break;
    case 24:
        e.cinfo.in_color_space = JCS_EXT_BGR;
        e.cinfo.input_components = 3;
        break;
    default:
        e.cinfo.in_color_space = JCS_EXT_BGRX;
        e.cinfo.input_components = 4;
        break;
    }
    jpeg_set_defaults(&e.cinfo);
    jpeg_set_quality(&e.cinfo, quality, TRUE);
    jpeg_start_compress(&e.cinfo, TRUE);
    while (e.cinfo.next_scanline < e.cinfo.image_height) {
        const int y = int(e.cinfo.next_scanline);
        JSAMPROW row;
        if (rgbRow) {
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb colour = picture.pixel(x, y);
                rgbRow[3 * x] = JSAMPLE(qRed(colour));
                rgbRow[3 * x + 1] = JSAMPLE(qGreen(colour));
                rgbRow[3 * x + 2] = JSAMPLE(qBlue(colour));
            }
            row = rgbRow;
        } else {
            row = const_cast<JSAMPROW>(picture.row(y));
        }
        jpeg_write_scanlines(&e.cinfo, &row, 1);
    }
    jpeg_finish_compress(&e.cinfo);
    return true;
}

} // namespace

Bitmap decodeJpeg(QByteArrayView bytes)
{
    Decoder d;
    std::memset(&d, 0, sizeof d);
    d.cinfo.err = &d.err.pub;
    installErrorHandling(d.err);
    d.progress.progress_monitor = onProgress;
    struct Destroy {
        Decoder &d;
        ~Destroy() { jpeg_destroy_decompress(&d.cinfo); }
    } destroy{d};
    const auto fail = [&d]() { return ParseError(std::string("JPEG: ") + d.err.message); };

    const auto *data = reinterpret_cast<const unsigned char *>(bytes.data());
    if (!startReading(d, data, static_cast<unsigned long>(bytes.size())))
        throw fail();
    jpeg_decompress_struct &cinfo = d.cinfo;
    if (std::int64_t(cinfo.image_width) * cinfo.image_height > Bitmap::kMaxPixels)
        throw ParseError("JPEG: picture of " + std::to_string(cinfo.image_width) + " x "
                         + std::to_string(cinfo.image_height) + " pixels is too large");
    bool cmyk = false;
    switch (cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
        cinfo.out_color_space = JCS_GRAYSCALE;
        cinfo.quantize_colors = TRUE;
        cinfo.desired_number_of_colors = 236;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        cinfo.out_color_space = JCS_CMYK;
        cmyk = true;
        break;
    default:
        cinfo.out_color_space = JCS_EXT_BGR; // the Bitmap's byte order, no shuffling afterwards
        break;
    }
    if (!startDecompress(d))
        throw fail();

    Bitmap picture(int(cinfo.output_width), int(cinfo.output_height), cinfo.quantize_colors ? 8 : 24);
    if (cinfo.quantize_colors) {
        picture.palette.reserve(std::size_t(cinfo.actual_number_of_colors));
        for (int i = 0; i < cinfo.actual_number_of_colors; ++i) {
            const int grey = cinfo.colormap[0][i];
            picture.palette.push_back(qRgb(grey, grey, grey));
        }
    }
    std::vector<JSAMPLE> cmykRow(cmyk ? std::size_t(cinfo.output_width) * 4 : 0);
    if (!readRows(d, picture, cmyk ? cmykRow.data() : nullptr))
        throw fail();
    return picture;
}

QByteArray encodeJpeg(const Bitmap &bitmap, int quality)
{
    if (bitmap.isEmpty() || bitmap.width() > JPEG_MAX_DIMENSION || bitmap.height() > JPEG_MAX_DIMENSION)
        throw std::invalid_argument("a JPEG file cannot hold a picture of " + std::to_string(bitmap.width()) + " x "
                                    + std::to_string(bitmap.height()) + " pixels");
    Encoder e;
    std::memset(&e, 0, sizeof e);
    e.cinfo.err = &e.err.pub;
    installErrorHandling(e.err);
    unsigned char *out = nullptr; // grown by libjpeg with malloc
    unsigned long size = 0;
    struct Destroy {
        Encoder &e;
        unsigned char *&out;
        ~Destroy()
        {
            jpeg_destroy_compress(&e.cinfo);
            std::free(out);
        }
    } destroy{e, out};
    std::vector<JSAMPLE> rgbRow(bitmap.bitsPerPixel() == 8 ? std::size_t(bitmap.width()) * 3 : 0);
    if (!compress(e, bitmap, quality, bitmap.bitsPerPixel() == 8 ? rgbRow.data() : nullptr, &out, &size))
        throw std::runtime_error(std::string("JPEG: ") + e.err.message);
    return QByteArray(reinterpret_cast<const char *>(out), qsizetype(size));
}

} // namespace tavi
