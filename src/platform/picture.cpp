#include "platform/picture.h"

#include <stdexcept>

namespace pw {

Bitmap::Bitmap(std::int32_t width, std::int32_t height, std::vector<std::uint32_t> pixels,
               double dpi_x, double dpi_y)
    : width_(width),
      height_(height),
      dpi_x_(dpi_x > 0 ? dpi_x : 96.0),
      dpi_y_(dpi_y > 0 ? dpi_y : 96.0),
      pixels_(std::move(pixels)) {
  if (width < 1 || height < 1 ||
      pixels_.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    throw std::invalid_argument("bitmap size does not match its pixels");
  }
}

Picture Picture::FromPixels(std::int32_t width, std::int32_t height,
                            std::vector<std::uint32_t> pixels, double dpi_x, double dpi_y) {
  return Picture(std::make_shared<const Bitmap>(width, height, std::move(pixels), dpi_x, dpi_y));
}

}  // namespace pw
