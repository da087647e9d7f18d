"""Small picture files for the tests, written and read with the standard library."""

import struct
import zlib


def write_bmp(path, width, height, rgb):
    """A solid-colour 24-bit bottom-up Windows bitmap file."""
    stride = (width * 3 + 3) & ~3
    row = bytes((rgb[2], rgb[1], rgb[0])) * width + b"\0" * (stride - width * 3)
    pixels = row * height
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + pixels)


def _png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def encode_png(width, height, rows):
    """PNG bytes of 8-bit RGB rows (each a bytes object of width * 3)."""
    raw = b"".join(b"\0" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n"
            + _png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + _png_chunk(b"IDAT", zlib.compress(raw))
            + _png_chunk(b"IEND", b""))


def write_png(path, width, height, rgb):
    """A solid-colour RGB PNG file."""
    with open(path, "wb") as f:
        f.write(encode_png(width, height, [bytes(rgb) * width] * height))


class Bitmap:
    """An uncompressed 24- or 32-bit .bmp file, read for its pixels."""

    def __init__(self, path):
        with open(path, "rb") as f:
            data = f.read()
        if data[:2] != b"BM":
            raise ValueError(f"{path} is not a bitmap file")
        offset = struct.unpack_from("<I", data, 10)[0]
        (self.header_size, self.width, height, _, self.bits, compression) = struct.unpack_from(
            "<IiiHHI", data, 14)
        if self.bits not in (24, 32) or compression not in (0, 3):
            raise ValueError(f"{path}: {self.bits} bits, compression {compression} not read here")
        self.bottom_up = height > 0
        self.height = abs(height)
        self._stride = (self.width * self.bits // 8 + 3) & ~3
        self._pixels = data[offset:offset + self._stride * self.height]

    def pixel(self, x, y):
        """(r, g, b) at column x, row y counted from the top."""
        row = self.height - 1 - y if self.bottom_up else y
        i = row * self._stride + x * (self.bits // 8)
        b, g, r = self._pixels[i:i + 3]
        return (r, g, b)

    def to_png(self, path):
        rows = []
        for y in range(self.height):
            rows.append(b"".join(bytes(self.pixel(x, y)) for x in range(self.width)))
        with open(path, "wb") as f:
            f.write(encode_png(self.width, self.height, rows))
