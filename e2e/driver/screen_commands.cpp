// The screen: its size and resolution, a pixel's colour, a rectangle as a file.
#include <cstdio>
#include <string>

#include "commands.h"
#include "protocol.h"

namespace pwdriver {
namespace {

class ScreenDc {
 public:
  ScreenDc() : dc_(::GetDC(nullptr)) {
    if (!dc_) throw CommandError("GetDC failed");
  }
  ~ScreenDc() { ::ReleaseDC(nullptr, dc_); }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

class MemoryDc {
 public:
  explicit MemoryDc(HDC like) : dc_(::CreateCompatibleDC(like)) {
    if (!dc_) throw CommandError("CreateCompatibleDC failed");
  }
  ~MemoryDc() { ::DeleteDC(dc_); }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

class Bitmap {
 public:
  explicit Bitmap(HBITMAP bmp) : bmp_(bmp) {
    if (!bmp_) throw CommandError("CreateDIBSection failed");
  }
  ~Bitmap() { ::DeleteObject(bmp_); }
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;
  HBITMAP get() const { return bmp_; }

 private:
  HBITMAP bmp_;
};

class Select {
 public:
  Select(HDC dc, HGDIOBJ obj) : dc_(dc), old_(::SelectObject(dc, obj)) {}
  ~Select() { ::SelectObject(dc_, old_); }
  Select(const Select&) = delete;
  Select& operator=(const Select&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

std::string Hex(COLORREF c) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
  return text;
}

}  // namespace

void AddScreenCommands(CommandTable& t) {
  // screen: width height (pixels) and dots per inch across and down.
  t["screen"] = [](const Args&) {
    ScreenDc dc;
    return Reply{Num(::GetSystemMetrics(SM_CXSCREEN)), Num(::GetSystemMetrics(SM_CYSCREEN)),
                 Num(::GetDeviceCaps(dc.get(), LOGPIXELSX)), Num(::GetDeviceCaps(dc.get(), LOGPIXELSY))};
  };
  // pixel X Y: the screen colour there as RRGGBB.
  t["pixel"] = [](const Args& a) {
    ScreenDc dc;
    return Reply{Hex(::GetPixel(dc.get(), static_cast<int>(ArgInt(a, 0)), static_cast<int>(ArgInt(a, 1))))};
  };
  // capture X Y W H FILE: that part of the screen as a 24-bit .bmp file.
  t["capture"] = [](const Args& a) {
    const int x = static_cast<int>(ArgInt(a, 0));
    const int y = static_cast<int>(ArgInt(a, 1));
    const int w = static_cast<int>(ArgInt(a, 2));
    const int h = static_cast<int>(ArgInt(a, 3));
    if (w <= 0 || h <= 0) throw CommandError("empty rectangle");
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = w;
    info.biHeight = h;  // bottom-up, as a .bmp file stores it
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const DWORD stride = static_cast<DWORD>((w * 3 + 3) & ~3);
    info.biSizeImage = stride * static_cast<DWORD>(h);

    ScreenDc screen;
    MemoryDc memory(screen.get());
    void* bits = nullptr;
    Bitmap bitmap(::CreateDIBSection(screen.get(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                     &bits, nullptr, 0));
    {
      Select select(memory.get(), bitmap.get());
      if (!::BitBlt(memory.get(), 0, 0, w, h, screen.get(), x, y, SRCCOPY)) throw CommandError("BitBlt failed");
    }
    ::GdiFlush();
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    bytes.append(static_cast<const char*>(bits), info.biSizeImage);
    WriteWholeFile(Arg(a, 4), bytes);
    return Reply{};
  };
}

}  // namespace pwdriver
