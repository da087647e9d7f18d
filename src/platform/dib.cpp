#include "platform/dib.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <new>
#include <optional>

namespace pw {

namespace {

constexpr double kMetersPerInch = 0.0254;
constexpr std::uint32_t kOpaque = 0xFF000000u;

std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
         (static_cast<std::uint32_t>(b[at + 2]) << 16) |
         (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::int32_t I32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::int32_t>(U32(b, at));
}

void Put16(std::span<std::uint8_t> out, std::size_t at, std::uint16_t v) {
  out[at] = static_cast<std::uint8_t>(v);
  out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::span<std::uint8_t> out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// One colour channel of a 16- or 32-bit pixel, given by its bit mask, scaled
// to eight bits.
class Channel {
 public:
  Channel() = default;
  explicit Channel(std::uint32_t mask)
      : mask_(mask),
        shift_(mask ? std::countr_zero(mask) : 0),
        bits_(std::popcount(mask)),
        max_(mask >> shift_) {}

  bool present() const { return mask_ != 0; }

  std::uint32_t Get(std::uint32_t pixel) const {
    if (!mask_) return 0;
    const std::uint32_t v = (pixel & mask_) >> shift_;
    if (bits_ >= 8) return v >> (bits_ - 8);
    return (v * 255u + max_ / 2u) / max_;
  }

 private:
  std::uint32_t mask_ = 0;
  int shift_ = 0;
  int bits_ = 0;
  std::uint32_t max_ = 1;
};

bool ContiguousBits(std::uint32_t mask) {
  if (mask == 0) return false;
  const std::uint32_t run = mask >> std::countr_zero(mask);
  return (run & (run + 1)) == 0;
}

// Everything the pixel loop needs, checked against the block.
struct Layout {
  std::int32_t width = 0;
  std::int32_t height = 0;  // rows, positive
  bool top_down = false;
  std::uint32_t bpp = 0;
  bool rgb = true;            // BI_RGB, not bit fields
  bool rle = false;           // run-length encoded (BI_RLE8, BI_RLE4)
  std::uint32_t masks[4] = {};  // red, green, blue, alpha (16 and 32 bits)
  bool alpha_channel = false;
  std::size_t palette_at = 0;
  std::uint32_t palette_entries = 0;
  std::size_t bits_at = 0;
  std::size_t data_bytes = 0;  // the encoded runs of a run-length block
  std::size_t stride = 0;
  double dpi_x = 96.0;
  double dpi_y = 96.0;
};

bool KnownHeaderSize(std::uint32_t size) {
  return size == dib::kInfoHeader || size == dib::kV2Header || size == dib::kV3Header ||
         size == dib::kV4Header || size == dib::kV5Header;
}

bool MasksFit(const std::uint32_t (&masks)[4], std::uint32_t bpp) {
  const std::uint64_t room = (std::uint64_t{1} << bpp) - 1;
  std::uint32_t seen = 0;
  for (int i = 0; i < 4; ++i) {
    const std::uint32_t m = masks[i];
    if (m == 0) {
      if (i < 3) return false;  // every colour needs bits; alpha may be absent
      continue;
    }
    if (!ContiguousBits(m) || m > room || (m & seen) != 0) return false;
    seen |= m;
  }
  return true;
}

std::optional<Layout> Parse(std::span<const std::uint8_t> block) {
  if (block.size() < dib::kInfoHeader) return std::nullopt;
  const std::uint32_t header = U32(block, 0);
  if (!KnownHeaderSize(header) || header > block.size()) return std::nullopt;

  Layout layout;
  const std::int32_t width = I32(block, 4);
  const std::int32_t height = I32(block, 8);
  if (width <= 0 || height == 0 || height == std::numeric_limits<std::int32_t>::min()) {
    return std::nullopt;
  }
  layout.width = width;
  layout.top_down = height < 0;
  layout.height = layout.top_down ? -height : height;
  if (U16(block, 12) != 1) return std::nullopt;  // planes
  layout.bpp = U16(block, 14);
  const std::uint32_t compression = U32(block, 16);
  layout.dpi_x = DpiFromPelsPerMeter(I32(block, 24));
  layout.dpi_y = DpiFromPelsPerMeter(I32(block, 28));
  const std::uint32_t colours_used = U32(block, 32);

  switch (layout.bpp) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return std::nullopt;
  }

  std::size_t at = header;
  if (compression == dib::kRgb) {
    layout.rgb = true;
    if (layout.bpp == 16) {
      layout.masks[0] = 0x7C00; layout.masks[1] = 0x03E0; layout.masks[2] = 0x001F;
    } else if (layout.bpp == 32) {
      // The fourth byte is nominally reserved, but many programs keep alpha there.
      layout.masks[0] = 0x00FF0000; layout.masks[1] = 0x0000FF00; layout.masks[2] = 0x000000FF;
      layout.masks[3] = 0xFF000000;
    }
  } else if (compression == dib::kBitfields || compression == dib::kAlphaBitfields) {
    if (layout.bpp != 16 && layout.bpp != 32) return std::nullopt;
    layout.rgb = false;
    const bool with_alpha = compression == dib::kAlphaBitfields;
    if (header >= dib::kV2Header) {
      for (int i = 0; i < 3; ++i) layout.masks[i] = U32(block, 40 + 4 * i);
      if (header >= dib::kV3Header) layout.masks[3] = U32(block, 52);
    } else {
      // A plain info header: the masks follow it.
      const std::size_t count = with_alpha ? 4 : 3;
      if (block.size() - at < 4 * count) return std::nullopt;
      for (std::size_t i = 0; i < count; ++i) layout.masks[i] = U32(block, at + 4 * i);
      at += 4 * count;
    }
    if (!MasksFit(layout.masks, layout.bpp)) return std::nullopt;
  } else if ((compression == dib::kRle8 && layout.bpp == 8) ||
             (compression == dib::kRle4 && layout.bpp == 4)) {
    if (layout.top_down) return std::nullopt;  // runs only ever go bottom-up
    layout.rle = true;
  } else {
    return std::nullopt;  // a JPEG or PNG file inside (see EmbeddedImage) or unknown
  }
  layout.alpha_channel = layout.masks[3] != 0;

  // Colour table: indexed pictures need one; deeper ones may carry an
  // optional table that is skipped.
  std::uint64_t entries = colours_used;
  if (layout.bpp <= 8) {
    const std::uint32_t most = 1u << layout.bpp;
    if (entries == 0) entries = most;
    if (entries > most) return std::nullopt;
  } else if (entries > 256) {
    return std::nullopt;
  }
  layout.palette_entries = static_cast<std::uint32_t>(entries);

  const std::uint64_t stride = (static_cast<std::uint64_t>(layout.width) * layout.bpp + 31) / 32 * 4;
  const std::uint64_t pixel_count = static_cast<std::uint64_t>(layout.width) * layout.height;
  if (pixel_count > kMaxPicturePixels) return std::nullopt;
  const std::uint64_t image_bytes = layout.rle ? 0 : stride * static_cast<std::uint64_t>(layout.height);

  // Some writers repeat the masks of a V4/V5 header after it, as if it were
  // a plain info header. Skip them only when they are exactly that copy and
  // the block has room for them as well as for the table and the rows.
  if (!layout.rgb && header >= dib::kV4Header) {
    const std::uint64_t needed =
        static_cast<std::uint64_t>(at) + 12 + entries * 4 + image_bytes;
    if (needed <= block.size() && U32(block, at) == layout.masks[0] &&
        U32(block, at + 4) == layout.masks[1] && U32(block, at + 8) == layout.masks[2]) {
      at += 12;
    }
  }

  layout.palette_at = at;
  const std::uint64_t bits_at = static_cast<std::uint64_t>(at) + entries * 4;
  if (bits_at > block.size() || image_bytes > block.size() - bits_at) return std::nullopt;
  layout.bits_at = static_cast<std::size_t>(bits_at);
  layout.stride = static_cast<std::size_t>(stride);
  if (layout.rle) {
    const std::uint32_t stated = U32(block, 20);
    const std::size_t available = block.size() - layout.bits_at;
    if (stated > available) return std::nullopt;
    layout.data_bytes = stated ? stated : available;
  }
  return layout;
}

std::uint32_t PaletteColour(std::span<const std::uint8_t> block, const Layout& layout,
                            std::uint32_t index) {
  if (index >= layout.palette_entries) return kOpaque;  // black, as the system shows it
  const std::size_t at = layout.palette_at + std::size_t{4} * index;
  return kOpaque | (std::uint32_t{block[at + 2]} << 16) | (std::uint32_t{block[at + 1]} << 8) |
         block[at];
}

// Decodes one row into `out`; returns the OR of the alpha bits it produced.
std::uint32_t DecodeRow(std::span<const std::uint8_t> block, const Layout& layout,
                        const std::uint8_t* row, std::uint32_t* out,
                        const Channel (&channels)[4]) {
  const std::int32_t w = layout.width;
  std::uint32_t alpha_seen = 0;
  switch (layout.bpp) {
    case 1:
    case 4:
    case 8: {
      const std::uint32_t per_byte = 8 / layout.bpp;
      const std::uint32_t mask = (1u << layout.bpp) - 1;
      for (std::int32_t x = 0; x < w; ++x) {
        const std::uint32_t ux = static_cast<std::uint32_t>(x);
        const std::uint32_t shift = (per_byte - 1 - ux % per_byte) * layout.bpp;
        out[x] = PaletteColour(block, layout, (row[ux / per_byte] >> shift) & mask);
      }
      break;
    }
    case 24:
      for (std::int32_t x = 0; x < w; ++x) {
        const std::uint8_t* p = row + 3 * static_cast<std::size_t>(x);
        out[x] = kOpaque | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
      }
      break;
    case 16:
    case 32:
      for (std::int32_t x = 0; x < w; ++x) {
        std::uint32_t px;
        if (layout.bpp == 16) {
          const std::uint8_t* p = row + 2 * static_cast<std::size_t>(x);
          px = static_cast<std::uint32_t>(p[0] | (p[1] << 8));
        } else {
          const std::uint8_t* p = row + 4 * static_cast<std::size_t>(x);
          px = std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
               (std::uint32_t{p[3]} << 24);
        }
        const std::uint32_t a = channels[3].present() ? channels[3].Get(px) : 0xFFu;
        alpha_seen |= a;
        out[x] = (a << 24) | (channels[0].Get(px) << 16) | (channels[1].Get(px) << 8) |
                 channels[2].Get(px);
      }
      break;
    default:
      break;
  }
  return alpha_seen;
}

// Runs of one palette index and literal stretches of indexes, bottom row
// first; pixels the runs skip stay black. A run past the end of its row or
// of the picture, or runs that stop before the end-of-picture mark with rows
// still open, make the block damaged.
bool DecodeRuns(std::span<const std::uint8_t> block, const Layout& layout,
                std::vector<std::uint32_t>& pixels) {
  std::fill(pixels.begin(), pixels.end(), kOpaque);
  const std::uint8_t* p = block.data() + layout.bits_at;
  const std::uint8_t* const end = p + layout.data_bytes;
  const bool nibbles = layout.bpp == 4;
  std::int64_t x = 0, y = 0;  // y counts rows from the bottom
  auto put = [&](std::uint32_t index) {
    if (x >= layout.width || y >= layout.height) return false;
    pixels[static_cast<std::size_t>(layout.height - 1 - y) * static_cast<std::size_t>(layout.width) +
           static_cast<std::size_t>(x++)] = PaletteColour(block, layout, index);
    return true;
  };
  auto nibble = [](std::uint8_t byte, int i) { return i % 2 ? byte & 0x0Fu : byte >> 4u; };
  while (end - p >= 2) {
    const std::uint8_t count = p[0], value = p[1];
    p += 2;
    if (count > 0) {
      for (int i = 0; i < count; ++i) {
        if (!put(nibbles ? nibble(value, i) : value)) return false;
      }
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of picture
      return true;
    } else if (value == 2) {  // move right and up
      if (end - p < 2) return false;
      x += p[0];
      y += p[1];
      p += 2;
      if (x > layout.width || y > layout.height) return false;
    } else {  // `value` literal indexes, padded to a 16-bit boundary
      const std::size_t bytes = nibbles ? (value + 1u) / 2u : value;
      if (static_cast<std::size_t>(end - p) < bytes) return false;
      for (int i = 0; i < value; ++i) {
        if (!put(nibbles ? nibble(p[i / 2], i) : p[i])) return false;
      }
      p += std::min(bytes + (bytes & 1u), static_cast<std::size_t>(end - p));
    }
  }
  return y >= layout.height;
}

}  // namespace

EmbeddedFile EmbeddedImage(std::span<const std::uint8_t> block) {
  if (block.size() < dib::kInfoHeader) return {};
  const std::uint32_t header = U32(block, 0);
  const std::uint32_t compression = U32(block, 16);
  const std::uint32_t size = U32(block, 20);
  if (!KnownHeaderSize(header) || header > block.size() || U16(block, 14) != 0 ||
      (compression != dib::kJpeg && compression != dib::kPng) || size == 0 ||
      size > block.size() - header) {
    return {};
  }
  return {compression == dib::kPng ? EmbeddedFile::Png : EmbeddedFile::Jpeg,
          block.subspan(header, size)};
}

double DpiFromPelsPerMeter(std::int32_t pels_per_meter) {
  if (pels_per_meter <= 0) return 96.0;
  const double dpi = std::round(pels_per_meter * kMetersPerInch);
  return dpi >= 1.0 ? dpi : 96.0;
}

std::int32_t PelsPerMeterFromDpi(double dpi) {
  if (!(dpi > 0) || dpi > 1e6) dpi = 96.0;
  return static_cast<std::int32_t>(std::lround(dpi / kMetersPerInch));
}

Picture DecodePackedDib(std::span<const std::uint8_t> block) {
  const std::optional<Layout> parsed = Parse(block);
  if (!parsed) return {};
  const Layout& layout = *parsed;

  std::vector<std::uint32_t> pixels;
  try {
    pixels.resize(static_cast<std::size_t>(layout.width) * static_cast<std::size_t>(layout.height));
  } catch (const std::bad_alloc&) {
    return {};
  }

  if (layout.rle) {
    if (!DecodeRuns(block, layout, pixels)) return {};
    return Picture::FromPixels(layout.width, layout.height, std::move(pixels), layout.dpi_x,
                               layout.dpi_y);
  }
  const Channel channels[4] = {Channel(layout.masks[0]), Channel(layout.masks[1]), Channel(layout.masks[2]),
                               Channel(layout.masks[3])};
  std::uint32_t alpha_seen = 0;
  for (std::int32_t y = 0; y < layout.height; ++y) {
    const std::int32_t source_row = layout.top_down ? y : layout.height - 1 - y;
    const std::uint8_t* row = block.data() + layout.bits_at +
                              static_cast<std::size_t>(source_row) * layout.stride;
    alpha_seen |= DecodeRow(block, layout, row,
                            pixels.data() + static_cast<std::size_t>(y) * layout.width, channels);
  }
  // An alpha channel that is zero everywhere was never meant as one.
  if (layout.alpha_channel && alpha_seen == 0) {
    for (std::uint32_t& p : pixels) p |= kOpaque;
  }
  return Picture::FromPixels(layout.width, layout.height, std::move(pixels), layout.dpi_x, layout.dpi_y);
}

std::size_t PackedDibSize(const Bitmap& bitmap) {
  return dib::kInfoHeader + static_cast<std::size_t>(bitmap.width()) *
                                static_cast<std::size_t>(bitmap.height()) * 4;
}

std::vector<std::uint8_t> EncodePackedDib(const Bitmap& bitmap) {
  std::vector<std::uint8_t> out(PackedDibSize(bitmap));
  EncodePackedDib(bitmap, out);
  return out;
}

void EncodePackedDib(const Bitmap& bitmap, std::span<std::uint8_t> out) {
  const std::size_t w = static_cast<std::size_t>(bitmap.width());
  const std::size_t h = static_cast<std::size_t>(bitmap.height());
  std::fill(out.begin(), out.begin() + dib::kInfoHeader, std::uint8_t{0});
  Put32(out, 0, dib::kInfoHeader);
  Put32(out, 4, static_cast<std::uint32_t>(bitmap.width()));
  Put32(out, 8, static_cast<std::uint32_t>(bitmap.height()));  // positive: bottom-up
  Put16(out, 12, 1);
  Put16(out, 14, 32);
  Put32(out, 16, dib::kRgb);
  Put32(out, 20, static_cast<std::uint32_t>(w * h * 4));
  Put32(out, 24, static_cast<std::uint32_t>(PelsPerMeterFromDpi(bitmap.dpi_x())));
  Put32(out, 28, static_cast<std::uint32_t>(PelsPerMeterFromDpi(bitmap.dpi_y())));
  // Colours used and important stay 0: no table.

  const std::uint32_t* src = bitmap.pixels().data();
  std::uint8_t* dst = out.data() + dib::kInfoHeader;
  for (std::size_t y = 0; y < h; ++y, dst += 4 * w) {
    const std::uint32_t* row = src + (h - 1 - y) * w;
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(dst, row, 4 * w);  // 0xAARRGGBB is B, G, R, A in memory already
    } else {
      for (std::size_t x = 0; x < w; ++x) {
        for (int i = 0; i < 4; ++i) dst[4 * x + i] = static_cast<std::uint8_t>(row[x] >> (8 * i));
      }
    }
  }
}

}  // namespace pw
