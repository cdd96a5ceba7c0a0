#include "collection/jpeg_decoder.h"

#include "data/error.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

namespace {

// Pictures larger than this are refused rather than risking a huge buffer.
constexpr qint64 MaxPixels = 64LL * 1024 * 1024;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

// libjpeg's default handler calls exit(); jump back to the decoder instead.
[[noreturn]] void errorExit(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager *>(info->err)->jump, 1);
}

void silentMessage(j_common_ptr, int) {}

// Only trivially destructible objects live in this frame, so the long jump
// out of libjpeg skips no destructor. Returns false on a libjpeg error.
bool decodeInto(const unsigned char *bytes, unsigned long size, DecodedPicture &out,
                ErrorManager &errors, bool &tooLarge)
{
    jpeg_decompress_struct info;
    info.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = errorExit;
    errors.pub.emit_message = silentMessage;

    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes, size);
    jpeg_read_header(&info, TRUE);

    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_calc_output_dimensions(&info);
    if (qint64(info.output_width) * info.output_height > MaxPixels) {
        tooLarge = true;
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_start_decompress(&info);

    const int width = int(info.output_width);
    const int height = int(info.output_height);
    const int components = info.output_components;
    out.width = width;
    out.height = height;
    out.rgb.resize(qsizetype(width) * height * 3);
    auto *target = reinterpret_cast<unsigned char *>(out.rgb.data());

    // One scanline buffer from libjpeg's own pool, freed with the decompressor.
    JSAMPARRAY line = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                                JDIMENSION(width * components), 1);
    // Adobe writes CMYK inverted; others write it plain.
    const bool inverted = cmyk && info.saw_Adobe_marker;
    while (info.output_scanline < info.output_height) {
        unsigned char *row = target + qsizetype(info.output_scanline) * width * 3;
        jpeg_read_scanlines(&info, line, 1);
        const unsigned char *src = line[0];
        if (!cmyk) {
            std::memcpy(row, src, size_t(width) * 3);
            continue;
        }
        for (int x = 0; x < width; ++x, src += 4) {
            int c = src[0], m = src[1], y = src[2], k = src[3];
            if (!inverted) {
                c = 255 - c;
                m = 255 - m;
                y = 255 - y;
                k = 255 - k;
            }
            row[x * 3] = static_cast<unsigned char>(c * k / 255);
            row[x * 3 + 1] = static_cast<unsigned char>(m * k / 255);
            row[x * 3 + 2] = static_cast<unsigned char>(y * k / 255);
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

bool looksLikeJpeg(const QByteArray &data)
{
    return data.size() >= 3 && uchar(data[0]) == 0xFF && uchar(data[1]) == 0xD8 && uchar(data[2]) == 0xFF;
}

DecodedPicture decodeJpeg(const QByteArray &data)
{
    if (!looksLikeJpeg(data))
        throw AppError(QStringLiteral("Ce fichier n'est pas une image JPEG."));
    DecodedPicture picture;
    ErrorManager errors;
    bool tooLarge = false;
    if (!decodeInto(reinterpret_cast<const unsigned char *>(data.constData()),
                    static_cast<unsigned long>(data.size()), picture, errors, tooLarge)) {
        if (tooLarge)
            throw AppError(QStringLiteral("Cette image JPEG est trop grande pour être affichée."));
        // libjpeg's own texts are in English: the user is told in French.
        throw AppError(QStringLiteral("Image JPEG illisible : le fichier est abîmé ou incomplet."));
    }
    return picture;
}
