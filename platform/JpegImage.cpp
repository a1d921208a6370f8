#include "JpegImage.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace rm {

namespace {

// Larger pictures than this are refused rather than allocated.
constexpr JDIMENSION kMaxSide = 8192;

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf escape;
};

[[noreturn]] void onError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->escape, 1);
}

// Warnings are counted by the library itself; nothing is printed.
void onMessage(j_common_ptr) {}

} // namespace

QImage decodeJpeg(const QByteArray& data) {
    if (data.isEmpty())
        return {};

    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onError;
    errors.base.output_message = onMessage;

    // Nothing with a destructor may live between setjmp and a longjmp back;
    // the picture is reached through a pointer that survives the jump.
    QImage* volatile image = nullptr;
    if (setjmp(errors.escape)) {
        jpeg_destroy_decompress(&info);
        delete image;
        return {};
    }

    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    if (info.image_width == 0 || info.image_height == 0 || info.image_width > kMaxSide ||
        info.image_height > kMaxSide) {
        jpeg_destroy_decompress(&info);
        return {};
    }
    // BGRX bytes are QImage's RGB32 pixels on a little-endian machine.
    info.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&info);

    image = new QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                       QImage::Format_RGB32);
    while (!image->isNull() && info.output_scanline < info.output_height) {
        JSAMPROW row = image->scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    // A cut or damaged stream is only warned about by the library.
    const bool damaged = errors.base.num_warnings > 0;
    jpeg_destroy_decompress(&info);

    QImage result = damaged ? QImage() : *image;
    delete image;
    return result;
}

} // namespace rm
