#include "ui/jpeg_image.h"

// clang-format off
#include <cstdio>  // jpeglib.h needs FILE and size_t first
#include <jpeglib.h>
// clang-format on

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "engine/failure.h"
#include "platform/file_io.h"

namespace kesta {

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return. We jump back to the
// frame that called setjmp, keeping the message. That frame and every frame libjpeg passes through
// hold no object with a destructor, so the jump skips no clean-up.
struct ErrorManager {
  jpeg_error_mgr base;  // first member: libjpeg hands back a pointer to it
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void ExitWithMessage(j_common_ptr info) {
  auto* manager = reinterpret_cast<ErrorManager*>(info->err);
  (*info->err->format_message)(info, manager->message);
  std::longjmp(manager->jump, 1);
}

// libjpeg only warns about damaged data and decodes a truncated file as grey; we refuse it.
void EmitMessage(j_common_ptr info, int level) {
  if (level < 0) ExitWithMessage(info);
}

void InstallErrorManager(ErrorManager& manager, jpeg_error_mgr*& slot) {
  slot = jpeg_std_error(&manager.base);
  manager.base.error_exit = ExitWithMessage;
  manager.base.emit_message = EmitMessage;
  manager.message[0] = '\0';
}

// Far beyond any picture of ours; keeps a forged header from asking for gigabytes.
constexpr JDIMENSION kLargestSide = 16384;

struct DecodeJob {
  jpeg_decompress_struct info;
  ErrorManager errors;
};

bool RunDecoder(DecodeJob& job, const std::string& bytes, QImage& image) {
  jpeg_decompress_struct& info = job.info;
  InstallErrorManager(job.errors, info.err);
  if (setjmp(job.errors.jump)) {
    jpeg_destroy_decompress(&info);  // does nothing before creation: the job starts zeroed
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  if (info.output_width > kLargestSide || info.output_height > kLargestSide) {
    std::strcpy(job.errors.message, "Picture too large");
    jpeg_destroy_decompress(&info);
    return false;
  }
  image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                 QImage::Format_RGB888);
  while (!image.isNull() && info.output_scanline < info.output_height) {
    JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
    jpeg_read_scanlines(&info, &row, 1);
  }
  if (image.isNull()) std::strcpy(job.errors.message, "Not enough memory for the picture");
  if (!image.isNull()) jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return !image.isNull();
}

struct EncodeJob {
  jpeg_compress_struct info;
  ErrorManager errors;
  unsigned char* buffer = nullptr;  // grown by libjpeg with malloc; ours to free
  unsigned long size = 0;
};

bool RunEncoder(EncodeJob& job, const QImage& rgb, int quality) {
  jpeg_compress_struct& info = job.info;
  InstallErrorManager(job.errors, info.err);
  if (setjmp(job.errors.jump)) {
    jpeg_destroy_compress(&info);  // does nothing before creation: the job starts zeroed
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &job.buffer, &job.size);
  info.image_width = static_cast<JDIMENSION>(rgb.width());
  info.image_height = static_cast<JDIMENSION>(rgb.height());
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  // Full-resolution colour keeps thin coloured lines sharp in these small pictures.
  info.comp_info[0].h_samp_factor = 1;
  info.comp_info[0].v_samp_factor = 1;
  info.optimize_coding = TRUE;
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(info.next_scanline)));
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

}  // namespace

QImage DecodeJpegFile(const std::filesystem::path& path) {
  const std::string bytes = ReadWholeFile(path);
  auto job = std::make_unique<DecodeJob>();
  QImage image;
  if (!RunDecoder(*job, bytes, image)) throw EKestaError(path.string() + ": " + job->errors.message);
  return image;
}

void EncodeJpegFile(const QImage& image, const std::filesystem::path& path, int quality) {
  if (image.isNull()) throw EKestaError(path.string() + ": Empty picture");
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  auto job = std::make_unique<EncodeJob>();
  const bool encoded = RunEncoder(*job, rgb, std::clamp(quality, 0, 100));
  const std::unique_ptr<unsigned char, decltype(&std::free)> buffer(job->buffer, &std::free);
  if (!encoded) throw EKestaError(path.string() + ": " + job->errors.message);
  WriteFileAtomically(path, std::string_view(reinterpret_cast<const char*>(buffer.get()), job->size));
}

void CheckJpegFile(const std::filesystem::path& path) {
  const std::string bytes = ReadWholeFile(path);
  if (bytes.size() < 2 || static_cast<unsigned char>(bytes[0]) != 0xFF || static_cast<unsigned char>(bytes[1]) != 0xD8)
    throw EKestaError(path.string() + ": Not a JPEG file");
}

}  // namespace kesta
