#include "platform/win32/wic.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <new>

#include "platform/dib.h"
#include "platform/win32/com.h"
#include "platform/win32/handles.h"

#include <wincodec.h>

namespace pw::win32 {

namespace {

ComPtr<IWICImagingFactory> CreateFactory() {
  ComPtr<IWICImagingFactory> factory;
  if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, factory.put_void()))) {
    factory.reset();
  }
  return factory;
}

// Files state resolutions as pixels per metre; keep the whole dots per inch
// they were written from.
double WholeDpi(double dpi) {
  if (!std::isfinite(dpi) || dpi <= 0) return 96.0;
  const double whole = std::round(dpi);
  return whole >= 1.0 ? whole : 96.0;
}

// The 24-bit rows WIC's bitmap encoder wants: B, G, R, each row padded to
// four bytes.
std::vector<std::uint8_t> Rows24(const Bitmap& bitmap, UINT stride, UINT top, UINT lines) {
  std::vector<std::uint8_t> rows(static_cast<std::size_t>(stride) * lines, 0);
  for (UINT i = 0; i < lines; ++i) {
    const auto y = static_cast<std::int32_t>(top + i);
    std::uint8_t* out = rows.data() + static_cast<std::size_t>(i) * stride;
    for (std::int32_t x = 0; x < bitmap.width(); ++x, out += 3) {
      const std::uint32_t p = bitmap.at(x, y);
      out[0] = static_cast<std::uint8_t>(p);
      out[1] = static_cast<std::uint8_t>(p >> 8);
      out[2] = static_cast<std::uint8_t>(p >> 16);
    }
  }
  return rows;
}

// The first frame, by the decoder of this container alone: the bytes must
// not pick a codec of their choosing.
Picture Decode(std::span<const std::uint8_t> bytes, const GUID& container) {
  if (bytes.empty() || bytes.size() > ULONG_MAX) return {};

  ComScope com;
  if (!com.usable()) return {};
  ComPtr<IWICImagingFactory> factory = CreateFactory();
  if (!factory) return {};

  ComPtr<IWICStream> stream;
  if (FAILED(factory->CreateStream(stream.put())) ||
      FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()),
                                          static_cast<DWORD>(bytes.size())))) {
    return {};
  }
  ComPtr<IWICBitmapDecoder> decoder;
  if (FAILED(factory->CreateDecoder(container, nullptr, decoder.put())) ||
      FAILED(decoder->Initialize(stream.get(), WICDecodeMetadataCacheOnDemand))) {
    return {};
  }
  ComPtr<IWICBitmapFrameDecode> frame;
  if (FAILED(decoder->GetFrame(0, frame.put()))) return {};

  UINT width = 0, height = 0;
  if (FAILED(frame->GetSize(&width, &height)) || width == 0 || height == 0 ||
      width > INT_MAX || height > INT_MAX ||
      std::uint64_t{width} * height > kMaxPicturePixels) {
    return {};
  }
  double dpi_x = 96.0, dpi_y = 96.0;
  if (FAILED(frame->GetResolution(&dpi_x, &dpi_y))) dpi_x = dpi_y = 96.0;

  ComPtr<IWICFormatConverter> converter;
  if (FAILED(factory->CreateFormatConverter(converter.put())) ||
      FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA,
                                   WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom))) {
    return {};
  }
  std::vector<std::uint32_t> pixels;
  try {
    pixels.resize(std::size_t{width} * height);
  } catch (const std::bad_alloc&) {
    return {};
  }
  const UINT stride = width * 4;
  const UINT size = stride * height;  // at most 2^30 by the pixel cap
  if (FAILED(converter->CopyPixels(nullptr, stride, size,
                                   reinterpret_cast<BYTE*>(pixels.data())))) {
    return {};
  }
  return Picture::FromPixels(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height),
                             std::move(pixels), WholeDpi(dpi_x), WholeDpi(dpi_y));
}

}  // namespace

namespace {

// The whole file into the stream. Rows go to the encoder a band at a time,
// so that a huge picture is never converted whole.
bool EncodeInto(IStream* stream, const Bitmap& bitmap, ImageFile kind) {
  const auto width = static_cast<UINT>(bitmap.width());
  const auto height = static_cast<UINT>(bitmap.height());
  const std::uint64_t bytes_per_row =
      kind == ImageFile::Bmp ? (std::uint64_t{width} * 3 + 3) / 4 * 4 : std::uint64_t{width} * 4;
  if (bytes_per_row * height > UINT_MAX) return false;
  const auto stride = static_cast<UINT>(bytes_per_row);

  ComPtr<IWICImagingFactory> factory = CreateFactory();
  if (!factory) return false;
  ComPtr<IWICBitmapEncoder> encoder;
  const GUID& container = kind == ImageFile::Bmp ? GUID_ContainerFormatBmp : GUID_ContainerFormatPng;
  if (FAILED(factory->CreateEncoder(container, nullptr, encoder.put())) ||
      FAILED(encoder->Initialize(stream, WICBitmapEncoderNoCache))) {
    return false;
  }
  ComPtr<IWICBitmapFrameEncode> frame;
  ComPtr<IPropertyBag2> options;
  if (FAILED(encoder->CreateNewFrame(frame.put(), options.put())) ||
      FAILED(frame->Initialize(options.get())) || FAILED(frame->SetSize(width, height)) ||
      FAILED(frame->SetResolution(bitmap.dpi_x(), bitmap.dpi_y()))) {
    return false;
  }
  const WICPixelFormatGUID wanted =
      kind == ImageFile::Bmp ? GUID_WICPixelFormat24bppBGR : GUID_WICPixelFormat32bppBGRA;
  WICPixelFormatGUID format = wanted;
  // The encoder may answer with a format of its own; our rows fit only ours.
  if (FAILED(frame->SetPixelFormat(&format)) || !::IsEqualGUID(format, wanted)) return false;

  constexpr UINT kBand = 256;
  try {
    for (UINT top = 0; top < height; top += kBand) {
      const UINT lines = std::min(kBand, height - top);
      HRESULT written;
      if (kind == ImageFile::Bmp) {
        std::vector<std::uint8_t> rows = Rows24(bitmap, stride, top, lines);
        written = frame->WritePixels(lines, stride, stride * lines, rows.data());
      } else {
        // 0xAARRGGBB in memory is B, G, R, A: WIC's 32bppBGRA as it stands.
        auto* pixels = const_cast<std::uint32_t*>(bitmap.pixels().data()) + std::size_t{top} * width;
        written = frame->WritePixels(lines, stride, stride * lines, reinterpret_cast<BYTE*>(pixels));
      }
      if (FAILED(written)) return false;
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  return SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

}  // namespace

EncodedFile EncodeFile(const Bitmap& bitmap, ImageFile kind) {
  ComScope com;
  if (!com.usable()) return {};
  EncodedFile file;  // its memory outlives the stream, which does not free it
  ComPtr<IStream> stream;
  HGLOBAL memory = nullptr;
  if (FAILED(::CreateStreamOnHGlobal(nullptr, FALSE, stream.put())) ||
      FAILED(::GetHGlobalFromStream(stream.get(), &memory))) {
    return {};
  }
  file.memory.reset(memory);
  STATSTG stat{};
  if (!EncodeInto(stream.get(), bitmap, kind) || FAILED(stream->Stat(&stat, STATFLAG_NONAME))) {
    return {};
  }
  stream.reset();
  file.size = static_cast<std::size_t>(stat.cbSize.QuadPart);
  // The stream may have grown past the file; the clipboard's readers take
  // the block's size for it.
  if (HGLOBAL fitted = ::GlobalReAlloc(memory, file.size, GMEM_MOVEABLE)) {
    file.memory.release();
    file.memory.reset(fitted);
  }
  return file;
}

std::optional<std::vector<std::uint8_t>> EncodePicture(const Bitmap& bitmap, ImageFile kind) {
  const EncodedFile file = EncodeFile(bitmap, kind);
  GlobalLockScope<const std::uint8_t> lock(file.memory.get());
  if (!lock || lock.size() < file.size) return std::nullopt;
  return std::vector<std::uint8_t>(lock.get(), lock.get() + file.size);
}

Picture DecodePng(std::span<const std::uint8_t> bytes) {
  return Decode(bytes, GUID_ContainerFormatPng);
}

Picture DecodeJpeg(std::span<const std::uint8_t> bytes) {
  return Decode(bytes, GUID_ContainerFormatJpeg);
}

}  // namespace pw::win32
