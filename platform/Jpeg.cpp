#include "platform/Jpeg.h"

#include "platform/Files.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jerror.h>
#include <jpeglib.h>

namespace arv {

namespace {

// libjpeg reports errors through a callback that must not return; the jump
// brings control back to the call that started the work.
struct TErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    // Buffers that the jump must not leak; freed by whoever catches it.
    unsigned char* row = nullptr;
};

void ErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<TErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings of a damaged file are not errors to the library; a picture with
// missing data is still shown as far as it goes.
void OutputMessage(j_common_ptr) {}

void SetError(std::string* errorText, const char* text) {
    if (errorText) *errorText = text;
}

// Runs the encoder; kept free of objects with destructors because of the jump.
bool Encode(const TBitmap32& bitmap, unsigned char** buffer, unsigned long* size,
            TErrorManager& err, std::vector<unsigned char>& row) {
    jpeg_compress_struct cinfo;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = ErrorExit;
    err.pub.output_message = OutputMessage;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, buffer, size);
    cinfo.image_width = static_cast<JDIMENSION>(bitmap.Width);
    cinfo.image_height = static_cast<JDIMENSION>(bitmap.Height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        const uint32_t* src =
            &bitmap.Pixels[static_cast<size_t>(cinfo.next_scanline) * bitmap.Width];
        for (int32_t x = 0; x < bitmap.Width; ++x) {
            row[3 * x] = static_cast<unsigned char>(src[x] >> 16);
            row[3 * x + 1] = static_cast<unsigned char>(src[x] >> 8);
            row[3 * x + 2] = static_cast<unsigned char>(src[x]);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

bool Decode(std::string_view bytes, int scaleDenom, TBitmap32& out, TErrorManager& err) {
    jpeg_decompress_struct cinfo;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = ErrorExit;
    err.pub.output_message = OutputMessage;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        std::free(err.row);
        err.row = nullptr;
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.scale_num = 1;
    cinfo.scale_denom = static_cast<unsigned>(scaleDenom);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    // A header may claim any size; more than 128 mega-pixels is refused
    // before anything is allocated for it.
    if (uint64_t{cinfo.output_width} * cinfo.output_height > (uint64_t{1} << 27))
        ERREXIT(&cinfo, JERR_IMAGE_TOO_BIG);
    out.Width = static_cast<int32_t>(cinfo.output_width);
    out.Height = static_cast<int32_t>(cinfo.output_height);
    out.Pixels.assign(static_cast<size_t>(out.Width) * out.Height, 0xFF000000u);
    err.row = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(out.Width) * 3 + 3));
    if (!err.row) ERREXIT(&cinfo, JERR_OUT_OF_MEMORY);
    unsigned char* row = err.row;
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW rows[1] = {row};
        const JDIMENSION y = cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, rows, 1);
        uint32_t* dst = &out.Pixels[static_cast<size_t>(y) * out.Width];
        for (int32_t x = 0; x < out.Width; ++x)
            dst[x] = 0xFF000000u | (uint32_t{row[3 * x]} << 16) | (uint32_t{row[3 * x + 1]} << 8) |
                     row[3 * x + 2];
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::free(err.row);
    err.row = nullptr;
    return true;
}

} // namespace

std::string EncodeJpeg(const TBitmap32& bitmap) {
    if (bitmap.Empty() || bitmap.Width > 65500 || bitmap.Height > 65500) return {};
    TErrorManager err{};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    std::vector<unsigned char> row(static_cast<size_t>(bitmap.Width) * 3);
    bool ok = Encode(bitmap, &buffer, &size, err, row);
    std::string bytes;
    if (ok && buffer) bytes.assign(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    return bytes;
}

bool SaveJpegFile(const TBitmap32& bitmap, std::string_view fileName, std::string* errorText) {
    std::string bytes = EncodeJpeg(bitmap);
    if (bytes.empty()) {
        SetError(errorText, "the picture cannot be encoded");
        return false;
    }
    return WriteFileAtomic(fileName, bytes, errorText);
}

bool DecodeJpeg(std::string_view bytes, int scaleDenom, TBitmap32& out, std::string* errorText) {
    if (scaleDenom != 1 && scaleDenom != 2 && scaleDenom != 4 && scaleDenom != 8) {
        SetError(errorText, "unsupported scale");
        return false;
    }
    TErrorManager err{};
    TBitmap32 picture;
    if (!Decode(bytes, scaleDenom, picture, err)) {
        SetError(errorText, err.message);
        return false;
    }
    out = std::move(picture);
    return true;
}

bool LoadJpegFile(std::string_view fileName, int scaleDenom, TBitmap32& out,
                  std::string* errorText) {
    std::string bytes;
    if (!ReadFileBytes(fileName, bytes)) {
        SetError(errorText, "the file cannot be read");
        return false;
    }
    return DecodeJpeg(bytes, scaleDenom, out, errorText);
}

} // namespace arv
