// Picture files through the Windows Imaging Component. Each call holds COM
// on the calling thread for its duration (nested in the program's own scope).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/picture.h"
#include "platform/win32/handles.h"

namespace pw::win32 {

enum class ImageFile : std::uint8_t {
  Bmp,  // 24 bits per pixel: every reader takes it; alpha is dropped
  Png,  // 32 bits per pixel with alpha
};

// The picture as the bytes of a whole file, or nothing when encoding fails.
std::optional<std::vector<std::uint8_t>> EncodePicture(const Bitmap& bitmap, ImageFile kind);
// The same in moveable memory, as the clipboard takes it, with no copy of
// the file made on the way; no memory when encoding fails.
struct EncodedFile {
  UniqueGlobal memory;
  std::size_t size = 0;  // the file's bytes, from the block's start
};
EncodedFile EncodeFile(const Bitmap& bitmap, ImageFile kind);

// The first frame of a PNG file, or an empty Picture when the bytes are not
// a PNG, are damaged, or describe a picture larger than we accept. Pixels
// come out as straight (not premultiplied) 0xAARRGGBB.
Picture DecodePng(std::span<const std::uint8_t> bytes);
// The same for a JPEG file (opaque).
Picture DecodeJpeg(std::span<const std::uint8_t> bytes);

}  // namespace pw::win32
