#include "ui/png_image.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <new>
#include <string>

#include "engine/failure.h"
#include "platform/file_io.h"

namespace kesta {

namespace {

// Far above the largest picture drawn (the splash at twice the pixel ratio), far below what a damaged
// header could ask for.
constexpr png_uint_32 kLargestSide = 4096;

// Errors end the read through setjmp, warnings are nobody's business: a broken picture is drawn instead.
[[noreturn]] void Fail(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void IgnoreWarning(png_structp, png_const_charp) {}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// Reads after setjmp: nothing in this frame has a destructor for longjmp to skip, and what the error path
// needs lives in the caller's.
bool ReadRows(png_structp png, png_infop info, QImage& image) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  if (width == 0 || height == 0 || width > kLargestSide || height > kLargestSide) return false;
  // Any PNG to 8-bit blue, green, red, alpha in memory: QImage's 32-bit pixel on a little-endian machine.
  png_set_expand(png);
  png_set_scale_16(png);
  png_set_gray_to_rgb(png);
  if (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
    png_set_bgr(png);
    png_set_filler(png, 0xff, PNG_FILLER_AFTER);
  } else {
    png_set_swap_alpha(png);
    png_set_filler(png, 0xff, PNG_FILLER_BEFORE);
  }
  const int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const bool alpha = (png_get_color_type(png, info) & PNG_COLOR_MASK_ALPHA) != 0;
  image = QImage(static_cast<int>(width), static_cast<int>(height),
                 alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  if (image.isNull()) return false;
  for (int pass = 0; pass < passes; ++pass)
    for (int y = 0; y < image.height(); ++y) png_read_row(png, image.scanLine(y), nullptr);
  png_read_end(png, nullptr);
  return true;
}

}  // namespace

QImage ReadPngFile(const std::filesystem::path& path) {
  const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return {};
  png_byte signature[8];
  if (std::fread(signature, 1, sizeof signature, file.get()) != sizeof signature ||
      png_sig_cmp(signature, 0, sizeof signature) != 0)
    return {};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Fail, IgnoreWarning);
  if (!png) return {};
  png_infop info = png_create_info_struct(png);
  QImage image;
  bool read = false;
  if (info) {
    png_init_io(png, file.get());
    png_set_sig_bytes(png, sizeof signature);
    read = ReadRows(png, info, image);
  }
  png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  return read ? image : QImage();
}

namespace {

void AppendBytes(png_structp png, png_bytep data, size_t length) {
  bool appended = true;
  try {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
  } catch (const std::bad_alloc&) {
    appended = false;
  }
  // Outside the handler: the jump must not leave an exception behind.
  if (!appended) png_error(png, "Not enough memory");
}

bool WriteRows(png_structp png, png_infop info, const QImage& pixels, std::string& bytes) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, &bytes, AppendBytes, nullptr);
  const bool alpha = pixels.format() == QImage::Format_ARGB32;
  png_set_IHDR(png, info, static_cast<png_uint_32>(pixels.width()), static_cast<png_uint_32>(pixels.height()),
               8, alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE | PNG_FILTER_SUB | PNG_FILTER_UP);
  png_write_info(png, info);
  if (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
    png_set_bgr(png);
    if (!alpha) png_set_filler(png, 0, PNG_FILLER_AFTER);
  } else {
    if (alpha)
      png_set_swap_alpha(png);
    else
      png_set_filler(png, 0, PNG_FILLER_BEFORE);
  }
  for (int y = 0; y < pixels.height(); ++y) png_write_row(png, pixels.constScanLine(y));
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

void WritePngFile(const QImage& image, const std::filesystem::path& path) {
  if (image.isNull()) throw EKestaError(path.string() + ": Empty picture");
  const QImage pixels =
      image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, Fail, IgnoreWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  std::string bytes;
  const bool written = info && WriteRows(png, info, pixels, bytes);
  png_destroy_write_struct(&png, info ? &info : nullptr);
  if (!written) throw EKestaError(path.string() + ": Cannot encode the picture as PNG");
  WriteFileAtomically(path, bytes);
}

}  // namespace kesta
