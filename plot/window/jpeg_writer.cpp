#include "plot/window/jpeg_writer.h"

#include <csetjmp>
#include <cstdio> // jpeglib.h wants FILE and size_t declared first
#include <cstdlib>
#include <cstring>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

#include "plot/file_replace.h"

namespace vex {
namespace {

// RGB32 pixels are 0xffRRGGBB words: in memory B, G, R, X on a little-endian machine.
// libjpeg-turbo reads that layout directly; another libjpeg gets rows converted to RGB.
#if defined(JCS_EXTENSIONS)
constexpr bool kDirectRows = true;
constexpr J_COLOR_SPACE kRgb32Space = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;
#else
constexpr bool kDirectRows = false;
constexpr J_COLOR_SPACE kRgb32Space = JCS_RGB;
#endif

// A plot picture compresses to a few tens of kilobytes; larger ones grow the buffer.
constexpr size_t kFirstBufferBytes = 64 * 1024;

// libjpeg's default error_exit ends the process: ours jumps back into Compress with
// the message kept.
struct ErrorManager {
    jpeg_error_mgr base; // first, so libjpeg's pointer to it is a pointer to this
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void JumpBack(j_common_ptr cinfo) {
    auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, manager->message);
    std::longjmp(manager->jump, 1);
}

// Warnings would go to stderr, in the middle of a batch run's output.
void Silent(j_common_ptr) {}

// The compressed bytes collect in a malloc'd buffer that doubles when full. These
// callbacks run inside libjpeg, so they never throw: running out of memory is reported
// as a libjpeg error.
struct BufferDestination {
    jpeg_destination_mgr base; // first, as for ErrorManager
    unsigned char* data;
    size_t capacity;
    size_t size;
};

void Fail(j_compress_ptr cinfo, int code) {
    cinfo->err->msg_code = code;
    (*cinfo->err->error_exit)(reinterpret_cast<j_common_ptr>(cinfo));
}

void StartBuffer(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<BufferDestination*>(cinfo->dest);
    dest->data = static_cast<unsigned char*>(std::malloc(kFirstBufferBytes));
    if (dest->data == nullptr) Fail(cinfo, JERR_OUT_OF_MEMORY);
    dest->capacity = kFirstBufferBytes;
    dest->base.next_output_byte = dest->data;
    dest->base.free_in_buffer = dest->capacity;
}

boolean GrowBuffer(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<BufferDestination*>(cinfo->dest);
    const size_t used = dest->capacity; // libjpeg calls this only when the buffer is full
    if (used > SIZE_MAX / 2) Fail(cinfo, JERR_OUT_OF_MEMORY);
    auto* grown = static_cast<unsigned char*>(std::realloc(dest->data, used * 2));
    if (grown == nullptr) Fail(cinfo, JERR_OUT_OF_MEMORY);
    dest->data = grown;
    dest->capacity = used * 2;
    dest->base.next_output_byte = grown + used;
    dest->base.free_in_buffer = dest->capacity - used;
    return TRUE;
}

void EndBuffer(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<BufferDestination*>(cinfo->dest);
    dest->size = dest->capacity - dest->base.free_in_buffer;
}

// Frees the buffer whichever way Compress ends.
struct OwnedDestination {
    BufferDestination dest{};
    OwnedDestination() {
        dest.base.init_destination = StartBuffer;
        dest.base.empty_output_buffer = GrowBuffer;
        dest.base.term_destination = EndBuffer;
    }
    ~OwnedDestination() { std::free(dest.data); }
    OwnedDestination(const OwnedDestination&) = delete;
    OwnedDestination& operator=(const OwnedDestination&) = delete;
};

// libjpeg's state lives in the caller's frame: a local of the function that calls
// setjmp, changed before the jump, would have no defined value after it.
struct Encoder {
    jpeg_compress_struct cinfo;
    ErrorManager errors;
};

// The error jump lands here, between libjpeg's C frames and the caller, so nothing in
// this frame needs a destructor; what libjpeg allocated goes with jpeg_destroy_compress.
bool Compress(Encoder& encoder, const QImage& rgb32, int quality, unsigned char* rgbRow,
              BufferDestination& dest) {
    jpeg_compress_struct* cinfo = &encoder.cinfo;
    cinfo->err = jpeg_std_error(&encoder.errors.base);
    encoder.errors.base.error_exit = JumpBack;
    encoder.errors.base.output_message = Silent;
    if (setjmp(encoder.errors.jump) != 0) {
        jpeg_destroy_compress(cinfo);
        return false;
    }
    jpeg_create_compress(cinfo);
    cinfo->dest = &dest.base;
    cinfo->image_width = static_cast<JDIMENSION>(rgb32.width());
    cinfo->image_height = static_cast<JDIMENSION>(rgb32.height());
    cinfo->input_components = kDirectRows ? 4 : 3;
    cinfo->in_color_space = kRgb32Space;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, quality, TRUE);
    // Full-resolution colour: plot curves are thin coloured lines, which halved chroma
    // turns grey at their edges.
    cinfo->comp_info[0].h_samp_factor = 1;
    cinfo->comp_info[0].v_samp_factor = 1;
    jpeg_start_compress(cinfo, TRUE);
    while (cinfo->next_scanline < cinfo->image_height) {
        const int y = static_cast<int>(cinfo->next_scanline);
        const auto* pixels = reinterpret_cast<const QRgb*>(rgb32.constScanLine(y));
        JSAMPROW row = rgbRow;
        if (kDirectRows) {
            // libjpeg only reads the rows it is given.
            row = const_cast<JSAMPROW>(reinterpret_cast<const JSAMPLE*>(pixels));
        } else {
            for (int x = 0; x < rgb32.width(); ++x) {
                rgbRow[3 * x] = static_cast<JSAMPLE>(qRed(pixels[x]));
                rgbRow[3 * x + 1] = static_cast<JSAMPLE>(qGreen(pixels[x]));
                rgbRow[3 * x + 2] = static_cast<JSAMPLE>(qBlue(pixels[x]));
            }
        }
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    jpeg_destroy_compress(cinfo);
    return true;
}

} // namespace

bool EncodeJpeg(const QImage& image, int quality, std::string& jpeg, std::string& error) {
    if (image.isNull() || image.width() <= 0 || image.height() <= 0) {
        error = "the image is empty";
        return false;
    }
    if (quality < 1 || quality > 100) {
        error = "the JPEG quality must be 1 to 100, not " + std::to_string(quality);
        return false;
    }
    const QImage rgb32 = image.format() == QImage::Format_RGB32
                             ? image
                             : image.convertToFormat(QImage::Format_RGB32);
    if (rgb32.isNull()) {
        error = "not enough memory to convert the image";
        return false;
    }
    std::vector<unsigned char> rgbRow(kDirectRows ? 0 : 3 * static_cast<size_t>(rgb32.width()));
    OwnedDestination out;
    Encoder encoder{}; // zeroed, so a failed jpeg_create_compress destroys nothing
    if (!Compress(encoder, rgb32, quality, rgbRow.data(), out.dest)) {
        error = std::string("the JPEG encoder refused the image: ") + encoder.errors.message;
        return false;
    }
    jpeg.assign(reinterpret_cast<const char*>(out.dest.data), out.dest.size);
    return true;
}

bool WriteJpeg(const QImage& image, const std::string& path, int quality, std::string& error) {
    std::string jpeg;
    if (!EncodeJpeg(image, quality, jpeg, error)) return false;
    return ReplaceFileContents(path, jpeg, error);
}

} // namespace vex
