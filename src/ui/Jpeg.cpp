#include "ui/Jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

#include <jpeglib.h>

#include "files/SafeRead.h"

namespace {

// Files larger than this are not logos; refusing them keeps a wrong path from filling memory.
constexpr std::size_t MaxJpegFileBytes = 64 * 1024 * 1024;

// Everything that lives across setjmp/longjmp is plain C data: libjpeg's error handler jumps
// back into the two functions below, and no C++ destructor may be skipped on the way.
struct TJpegErrorSink {
  jpeg_error_mgr Mgr; // first member: libjpeg hands us a pointer to it
  std::jmp_buf Jump;
  char LastMessage[JMSG_LENGTH_MAX];
};

struct TJpegDecoder {
  jpeg_decompress_struct Info;
  TJpegErrorSink Sink;
};

TJpegErrorSink& SinkOf(j_common_ptr info) {
  return *reinterpret_cast<TJpegErrorSink*>(info->err);
}

// The default would print and call exit().
void JpegErrorExit(j_common_ptr info) {
  TJpegErrorSink& sink = SinkOf(info);
  (*info->err->format_message)(info, sink.LastMessage);
  std::longjmp(sink.Jump, 1);
}

// Warnings (damaged data that libjpeg would paper over) are kept, not printed.
void JpegOutputMessage(j_common_ptr info) {
  (*info->err->format_message)(info, SinkOf(info).LastMessage);
}

void SetMessage(TJpegDecoder& d, const char* text) {
  std::snprintf(d.Sink.LastMessage, sizeof d.Sink.LastMessage, "%s", text);
}

// Reads the header and starts decompression; on false the decoder is already destroyed.
bool StartDecoder(TJpegDecoder& d, const std::uint8_t* data, std::size_t size) {
  std::memset(&d, 0, sizeof d);
  d.Info.err = jpeg_std_error(&d.Sink.Mgr);
  d.Sink.Mgr.error_exit = JpegErrorExit;
  d.Sink.Mgr.output_message = JpegOutputMessage;
  if (setjmp(d.Sink.Jump)) {
    jpeg_destroy_decompress(&d.Info);
    return false;
  }
  jpeg_create_decompress(&d.Info);
  jpeg_mem_src(&d.Info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&d.Info, TRUE);
  if (d.Info.image_width == 0 || d.Info.image_height == 0 ||
      d.Info.image_width > static_cast<JDIMENSION>(MaxJpegSide) ||
      d.Info.image_height > static_cast<JDIMENSION>(MaxJpegSide)) {
    std::snprintf(d.Sink.LastMessage, sizeof d.Sink.LastMessage,
                  "Picture size %ux%u is beyond %dx%d", d.Info.image_width, d.Info.image_height,
                  MaxJpegSide, MaxJpegSide);
    jpeg_destroy_decompress(&d.Info);
    return false;
  }
  d.Info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&d.Info);
  if (d.Info.output_components != 3) {
    SetMessage(d, "Picture does not decode to RGB");
    jpeg_destroy_decompress(&d.Info);
    return false;
  }
  return true;
}

// Decodes all rows into `rgb` (output_width * 3 bytes a row) and destroys the decoder.
bool ReadRows(TJpegDecoder& d, std::uint8_t* rgb) {
  if (setjmp(d.Sink.Jump)) {
    jpeg_destroy_decompress(&d.Info);
    return false;
  }
  const std::size_t stride = static_cast<std::size_t>(d.Info.output_width) * 3;
  while (d.Info.output_scanline < d.Info.output_height) {
    JSAMPROW row = rgb + stride * d.Info.output_scanline;
    if (jpeg_read_scanlines(&d.Info, &row, 1) != 1) {
      SetMessage(d, "Picture data ends early");
      jpeg_destroy_decompress(&d.Info);
      return false;
    }
  }
  jpeg_finish_decompress(&d.Info);
  jpeg_destroy_decompress(&d.Info);
  return true;
}

} // namespace

bool DecodeJpegMemory(const std::uint8_t* data, std::size_t size, TRgbImage& out,
                      std::string& error) {
  out = TRgbImage{};
  if (data == nullptr || size == 0) {
    error = "Empty picture file";
    return false;
  }
  TJpegDecoder d;
  if (!StartDecoder(d, data, size)) {
    error = d.Sink.LastMessage;
    return false;
  }
  const int width = static_cast<int>(d.Info.output_width);
  const int height = static_cast<int>(d.Info.output_height);
  try {
    out.Rgb.resize(static_cast<std::size_t>(width) * height * 3);
  } catch (const std::bad_alloc&) {
    jpeg_destroy_decompress(&d.Info);
    error = "Not enough memory for the picture";
    return false;
  }
  if (!ReadRows(d, out.Rgb.data())) {
    out = TRgbImage{};
    error = d.Sink.LastMessage;
    return false;
  }
  // libjpeg fills a truncated or garbled stream with grey and carries on; for a
  // logo that counts as a damaged picture, which is better left out than shown wrong.
  if (d.Sink.Mgr.num_warnings > 0) {
    out = TRgbImage{};
    error = d.Sink.LastMessage;
    return false;
  }
  out.Width = width;
  out.Height = height;
  return true;
}

bool DecodeJpegFile(const std::string& path, TRgbImage& out, std::string& error) {
  out = TRgbImage{};
  std::string bytes;
  TFailureReport failure;
  if (!ReadFileSafely(path, bytes, failure, MaxJpegFileBytes)) {
    error = DescribeFailure(failure, LangEnglish);
    return false;
  }
  if (!DecodeJpegMemory(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), out,
                        error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}
