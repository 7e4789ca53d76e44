#include "app/pictures/jpeg_image.h"

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <new>
#include <string>

#include "base/user_error.h"

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

namespace jpeg {
namespace {

// The classic IJG message list (libjpeg 6b's jerror.h, alphabetical by code
// name, JMSG_NOMESSAGE first) numbers its errors from 0 to 72. Newer
// libraries insert codes of their own, which moves every number after them,
// so the table maps by symbolic name.
struct ClassicCode {
  int library_code;
  int classic_number;
};

constexpr ClassicCode kClassicCodes[] = {
    {JMSG_NOMESSAGE, 0},
#if JPEG_LIB_VERSION < 70
    {JERR_ARITH_NOTIMPL, 1},
#endif
    {JERR_BAD_ALIGN_TYPE, 2},
    {JERR_BAD_ALLOC_CHUNK, 3},
    {JERR_BAD_BUFFER_MODE, 4},
    {JERR_BAD_COMPONENT_ID, 5},
    {JERR_BAD_DCT_COEF, 6},
    {JERR_BAD_DCTSIZE, 7},
    {JERR_BAD_HUFF_TABLE, 8},
    {JERR_BAD_IN_COLORSPACE, 9},
    {JERR_BAD_J_COLORSPACE, 10},
    {JERR_BAD_LENGTH, 11},
    {JERR_BAD_LIB_VERSION, 12},
    {JERR_BAD_MCU_SIZE, 13},
    {JERR_BAD_POOL_ID, 14},
    {JERR_BAD_PRECISION, 15},
    {JERR_BAD_PROGRESSION, 16},
    {JERR_BAD_PROG_SCRIPT, 17},
    {JERR_BAD_SAMPLING, 18},
    {JERR_BAD_SCAN_SCRIPT, 19},
    {JERR_BAD_STATE, 20},
    {JERR_BAD_STRUCT_SIZE, 21},
    {JERR_BAD_VIRTUAL_ACCESS, 22},
    {JERR_BUFFER_SIZE, 23},
    {JERR_CANT_SUSPEND, 24},
    {JERR_CCIR601_NOTIMPL, 25},
    {JERR_COMPONENT_COUNT, 26},
    {JERR_CONVERSION_NOTIMPL, 27},
    {JERR_DAC_INDEX, 28},
    {JERR_DAC_VALUE, 29},
    {JERR_DHT_INDEX, 30},
    {JERR_DQT_INDEX, 31},
    {JERR_EMPTY_IMAGE, 32},
    {JERR_EMS_READ, 33},
    {JERR_EMS_WRITE, 34},
    {JERR_EOI_EXPECTED, 35},
    {JERR_FILE_READ, 36},
    {JERR_FILE_WRITE, 37},
    {JERR_FRACT_SAMPLE_NOTIMPL, 38},
    {JERR_HUFF_CLEN_OVERFLOW, 39},
    {JERR_HUFF_MISSING_CODE, 40},
    {JERR_IMAGE_TOO_BIG, 41},
    {JERR_INPUT_EMPTY, 42},
    {JERR_INPUT_EOF, 43},
    {JERR_MISMATCHED_QUANT_TABLE, 44},
    {JERR_MISSING_DATA, 45},
    {JERR_MODE_CHANGE, 46},
    {JERR_NOTIMPL, 47},
    {JERR_NOT_COMPILED, 48},
    {JERR_NO_BACKING_STORE, 49},
    {JERR_NO_HUFF_TABLE, 50},
    {JERR_NO_IMAGE, 51},
    {JERR_NO_QUANT_TABLE, 52},
    {JERR_NO_SOI, 53},
    {JERR_OUT_OF_MEMORY, 54},
    {JERR_QUANT_COMPONENTS, 55},
    {JERR_QUANT_FEW_COLORS, 56},
    {JERR_QUANT_MANY_COLORS, 57},
    {JERR_SOF_DUPLICATE, 58},
    {JERR_SOF_NO_SOS, 59},
    {JERR_SOF_UNSUPPORTED, 60},
    {JERR_SOI_DUPLICATE, 61},
    {JERR_SOS_NO_SOF, 62},
    {JERR_TFILE_CREATE, 63},
    {JERR_TFILE_READ, 64},
    {JERR_TFILE_SEEK, 65},
    {JERR_TFILE_WRITE, 66},
    {JERR_TOO_LITTLE_DATA, 67},
    {JERR_UNKNOWN_MARKER, 68},
    {JERR_VIRTUAL_BUG, 69},
    {JERR_WIDTH_OVERFLOW, 70},
    {JERR_XMS_READ, 71},
    {JERR_XMS_WRITE, 72},
};

struct ErrorManager {
  jpeg_error_mgr library;  // first, so the library's pointer is ours too
  std::jmp_buf jump;
};

// libjpeg must not be unwound by a C++ exception: its error exit jumps back
// to the setjmp of the C-style step that called it, which returns the code.
extern "C" void JumpOut(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// Warnings (a picture cut short, a bad code) are not errors and print nothing.
// They are counted as the library's own handler counts them. Nothing here
// formats a message, so the library's message texts and its formatting code
// stay out of the program.
extern "C" void Silent(j_common_ptr) {}
extern "C" void CountWarning(j_common_ptr cinfo, int msg_level) {
  if (msg_level < 0) ++cinfo->err->num_warnings;
}
extern "C" void NoText(j_common_ptr, char* buffer) { buffer[0] = '\0'; }
extern "C" void ResetErrors(j_common_ptr cinfo) {
  cinfo->err->num_warnings = 0;
  cinfo->err->msg_code = 0;
}

// In place of jpeg_std_error: the same state, with the handlers above.
jpeg_error_mgr* QuietErrors(jpeg_error_mgr* errors) {
  *errors = jpeg_error_mgr{};
  errors->error_exit = JumpOut;
  errors->emit_message = CountWarning;
  errors->output_message = Silent;
  errors->format_message = NoText;
  errors->reset_error_mgr = ResetErrors;
  return errors;
}

struct Session {
  jpeg_decompress_struct cinfo;
  ErrorManager errors;
  bool created;

  ~Session() {
    if (created) jpeg_destroy_decompress(&cinfo);
  }
};

enum class Purpose { kHeader, kDecode };

// The C-style steps below hold no C++ object with a destructor between
// their setjmp and the library calls, so the jump skips nothing that needs
// running. Each returns 0 or the library's error code.

int Begin(Session* s, const std::uint8_t* data, std::size_t size, std::size_t memory_limit) {
  s->cinfo.err = QuietErrors(&s->errors.library);
  if (setjmp(s->errors.jump)) return s->errors.library.msg_code;
  s->created = true;
  jpeg_create_decompress(&s->cinfo);
  s->cinfo.mem->max_memory_to_use = static_cast<long>(memory_limit);
  if (size == 0) return JERR_INPUT_EMPTY;
  jpeg_mem_src(&s->cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(&s->cinfo, TRUE);
  return 0;
}

bool IsGreyscale(const jpeg_decompress_struct& cinfo) {
  return cinfo.jpeg_color_space == JCS_GRAYSCALE;
}

int Stride(int width, int bytes_per_pixel) { return (width * bytes_per_pixel + 3) & ~3; }

int StartDecoding(Session* s, bool palette_mode, std::size_t memory_limit) {
  jpeg_decompress_struct& cinfo = s->cinfo;
  // Settled before the setjmp: nothing here changes after it.
  const bool greyscale = IsGreyscale(cinfo);
  const bool quantize = palette_mode || greyscale;
  if (greyscale) {
    cinfo.out_color_space = JCS_GRAYSCALE;
  } else if (quantize) {
    cinfo.out_color_space = JCS_RGB;  // the colour map follows this order
  } else {
#ifdef JCS_EXTENSIONS
    cinfo.out_color_space = JCS_EXT_BGR;
#else
    cinfo.out_color_space = JCS_RGB;
#endif
  }
  if (quantize) {
    cinfo.quantize_colors = TRUE;
    cinfo.desired_number_of_colors = kPaletteColours;
  }
  if (setjmp(s->errors.jump)) return s->errors.library.msg_code;
  jpeg_calc_output_dimensions(&cinfo);
  const std::uint64_t bytes =
      static_cast<std::uint64_t>(Stride(static_cast<int>(cinfo.output_width), quantize ? 1 : 3)) *
      cinfo.output_height;
  if (bytes > memory_limit) return JERR_OUT_OF_MEMORY;
  jpeg_start_decompress(&cinfo);
  return 0;
}

int ReadRows(Session* s, std::uint8_t* pixels, int stride) {
  if (setjmp(s->errors.jump)) return s->errors.library.msg_code;
  jpeg_decompress_struct& cinfo = s->cinfo;
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = pixels + static_cast<std::size_t>(cinfo.output_scanline) * stride;
    // A memory source never suspends; 0 rows would mean it did.
    if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) return JERR_CANT_SUSPEND;
  }
  jpeg_finish_decompress(&cinfo);
  return 0;
}

[[noreturn]] void Fail(int library_code) {
  throw UserError("JPEG error #" + std::to_string(ClassicErrorNumber(library_code)));
}

}  // namespace

int ClassicErrorNumber(int library_code) {
  for (const ClassicCode& c : kClassicCodes) {
    if (c.library_code == library_code) return c.classic_number;
  }
  return library_code;
}

Header ReadHeader(std::span<const std::uint8_t> data) {
  Session s{};
  if (int code = Begin(&s, data.data(), data.size(), kDefaultMemoryLimit)) Fail(code);
  Header h;
  h.width = static_cast<int>(s.cinfo.image_width);
  h.height = static_cast<int>(s.cinfo.image_height);
  h.components = s.cinfo.num_components;
  h.greyscale = IsGreyscale(s.cinfo);
  return h;
}

Image Decode(std::span<const std::uint8_t> data, bool palette_mode, std::size_t memory_limit) {
  Session s{};
  if (int code = Begin(&s, data.data(), data.size(), memory_limit)) Fail(code);
  if (int code = StartDecoding(&s, palette_mode, memory_limit)) Fail(code);

  const jpeg_decompress_struct& cinfo = s.cinfo;
  Image image;
  image.width = static_cast<int>(cinfo.output_width);
  image.height = static_cast<int>(cinfo.output_height);
  const bool indexed = cinfo.quantize_colors != 0;
  image.stride = Stride(image.width, indexed ? 1 : 3);
  if (indexed) {
    image.palette.resize(static_cast<std::size_t>(cinfo.actual_number_of_colors));
    for (std::size_t i = 0; i < image.palette.size(); ++i) {
      const bool grey = cinfo.out_color_components == 1;
      image.palette[i].red = cinfo.colormap[0][i];
      image.palette[i].green = cinfo.colormap[grey ? 0 : 1][i];
      image.palette[i].blue = cinfo.colormap[grey ? 0 : 2][i];
    }
  }
  try {
    image.pixels.resize(static_cast<std::size_t>(image.stride) * image.height);
  } catch (const std::bad_alloc&) {
    Fail(JERR_OUT_OF_MEMORY);
  }
  if (int code = ReadRows(&s, image.pixels.data(), image.stride)) Fail(code);

#ifndef JCS_EXTENSIONS
  if (!indexed) {
    for (int y = 0; y < image.height; ++y) {
      std::uint8_t* p = image.pixels.data() + static_cast<std::size_t>(y) * image.stride;
      for (int x = 0; x < image.width; ++x, p += 3) std::swap(p[0], p[2]);
    }
  }
#endif
  return image;
}

}  // namespace jpeg
