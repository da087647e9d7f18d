// Reading and writing the clipboard. All of it runs on the agent's thread,
// with the agent's window as the owner, inside a bounded open-retry scope.
#include <cstring>
#include <string>

#include "commands.h"
#include "protocol.h"

namespace pwdriver {
namespace {

class OpenClipboardScope {
 public:
  explicit OpenClipboardScope(HWND owner) {
    for (int attempt = 0; attempt < kAttempts && !opened_; ++attempt) {
      opened_ = ::OpenClipboard(owner) != FALSE;
      if (!opened_) ::Sleep(kRetryMs);
    }
    if (!opened_) throw CommandError("the clipboard could not be opened");
  }
  ~OpenClipboardScope() {
    if (opened_) ::CloseClipboard();
  }
  OpenClipboardScope(const OpenClipboardScope&) = delete;
  OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;

 private:
  static constexpr int kAttempts = 25;
  static constexpr DWORD kRetryMs = 20;
  bool opened_ = false;
};

class GlobalLock {
 public:
  explicit GlobalLock(HGLOBAL h) : h_(h), p_(h ? ::GlobalLock(h) : nullptr) {}
  ~GlobalLock() {
    if (p_) ::GlobalUnlock(h_);
  }
  GlobalLock(const GlobalLock&) = delete;
  GlobalLock& operator=(const GlobalLock&) = delete;
  void* get() const { return p_; }
  std::size_t size() const { return h_ ? ::GlobalSize(h_) : 0; }

 private:
  HGLOBAL h_;
  void* p_;
};

// Global memory that has not (yet) been handed to the clipboard.
class OwnedGlobal {
 public:
  explicit OwnedGlobal(const std::string& bytes)
      : h_(::GlobalAlloc(GMEM_MOVEABLE, bytes.empty() ? 1 : bytes.size())) {
    if (!h_) throw CommandError("GlobalAlloc failed");
    GlobalLock lock(h_);
    if (!bytes.empty()) std::memcpy(lock.get(), bytes.data(), bytes.size());
  }
  ~OwnedGlobal() {
    if (h_) ::GlobalFree(h_);
  }
  OwnedGlobal(const OwnedGlobal&) = delete;
  OwnedGlobal& operator=(const OwnedGlobal&) = delete;
  HGLOBAL release() {
    HGLOBAL h = h_;
    h_ = nullptr;
    return h;
  }

 private:
  HGLOBAL h_;
};

struct NamedFormat {
  const char* name;
  UINT format;
};

constexpr NamedFormat kStandardFormats[] = {
    {"CF_TEXT", CF_TEXT},       {"CF_BITMAP", CF_BITMAP},       {"CF_OEMTEXT", CF_OEMTEXT},
    {"CF_DIB", CF_DIB},         {"CF_UNICODETEXT", CF_UNICODETEXT}, {"CF_LOCALE", CF_LOCALE},
    {"CF_DIBV5", CF_DIBV5},     {"CF_HDROP", CF_HDROP},
};

// A format by standard name, by number, or else as a registered name.
UINT FormatOf(const std::string& name) {
  for (const NamedFormat& f : kStandardFormats) {
    if (name == f.name) return f.format;
  }
  if (!name.empty() && name.find_first_not_of("0123456789") == std::string::npos) {
    return static_cast<UINT>(std::stoul(name));
  }
  UINT format = ::RegisterClipboardFormatW(Widen(name).c_str());
  if (!format) throw CommandError("cannot register format " + name);
  return format;
}

std::string FormatName(UINT format) {
  for (const NamedFormat& f : kStandardFormats) {
    if (format == f.format) return f.name;
  }
  wchar_t name[256] = {};
  int n = ::GetClipboardFormatNameW(format, name, 256);
  return n > 0 ? Narrow(std::wstring_view(name, static_cast<std::size_t>(n))) : Num(format);
}

std::string Bytes(HANDLE h) {
  GlobalLock lock(h);
  if (!lock.get()) return {};
  return std::string(static_cast<const char*>(lock.get()), lock.size());
}

// Offset of the pixels in a packed DIB: header, masks and colour table.
std::size_t PixelOffset(const BITMAPINFOHEADER& h) {
  std::size_t offset = h.biSize;
  if (h.biSize == sizeof(BITMAPINFOHEADER) && h.biCompression == BI_BITFIELDS) offset += 3 * sizeof(DWORD);
  std::size_t colours = h.biClrUsed;
  if (!colours && h.biBitCount <= 8) colours = std::size_t{1} << h.biBitCount;
  return offset + colours * sizeof(RGBQUAD);
}

}  // namespace

void AddClipboardCommands(CommandTable& t, Agent& agent) {
  // clip_text: "1" and the text when the clipboard holds CF_UNICODETEXT, else "0".
  t["clip_text"] = [&agent](const Args&) {
    Reply r{"0", ""};
    agent.Run([&] {
      OpenClipboardScope scope(agent.hwnd());
      HANDLE h = ::GetClipboardData(CF_UNICODETEXT);
      if (!h) return;
      GlobalLock lock(h);
      if (!lock.get()) return;
      const auto* text = static_cast<const wchar_t*>(lock.get());
      std::size_t max = lock.size() / sizeof(wchar_t);
      std::size_t n = 0;
      while (n < max && text[n]) ++n;
      r = {"1", Narrow(std::wstring_view(text, n))};
    });
    return r;
  };
  t["clip_set_text"] = [&agent](const Args& a) {
    std::wstring text = Widen(Arg(a, 0));
    std::string bytes(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(wchar_t));
    agent.Run([&] {
      OpenClipboardScope scope(agent.hwnd());
      ::EmptyClipboard();
      OwnedGlobal data(bytes);
      if (!::SetClipboardData(CF_UNICODETEXT, data.release())) throw CommandError("SetClipboardData failed");
    });
    return Reply{};
  };
  t["clip_clear"] = [&agent](const Args&) {
    agent.Run([&] {
      OpenClipboardScope scope(agent.hwnd());
      ::EmptyClipboard();
    });
    return Reply{};
  };
  // clip_formats: every format on the clipboard, by name.
  t["clip_formats"] = [&agent](const Args&) {
    Reply r;
    agent.Run([&] {
      OpenClipboardScope scope(agent.hwnd());
      for (UINT f = ::EnumClipboardFormats(0); f; f = ::EnumClipboardFormats(f)) r.push_back(FormatName(f));
    });
    return r;
  };
  // clip_set FORMAT FILE [FORMAT FILE ...]: raw bytes of each file as that
  // format, all in one clipboard change.
  t["clip_set"] = [&agent](const Args& a) {
    if (a.empty() || a.size() % 2) throw CommandError("expected FORMAT FILE pairs");
    std::vector<std::pair<UINT, std::string>> items;
    for (std::size_t i = 0; i < a.size(); i += 2) items.emplace_back(FormatOf(a[i]), ReadWholeFile(a[i + 1]));
    agent.Run([&] {
      OpenClipboardScope scope(agent.hwnd());
      ::EmptyClipboard();
      for (const auto& [format, bytes] : items) {
        OwnedGlobal data(bytes);
        if (!::SetClipboardData(format, data.release())) throw CommandError("SetClipboardData failed");
      }
    });
    return Reply{};
  };
  // clip_get FORMAT FILE: the format's raw bytes into the file; its size.
  t["clip_get"] = [&agent](const Args& a) {
    UINT format = FormatOf(Arg(a, 0));
    std::string bytes;
    agent.Run([&] {
      OpenClipboardScope scope(agent.hwnd());
      HANDLE h = ::GetClipboardData(format);
      if (!h) throw CommandError("the clipboard does not hold " + a[0]);
      bytes = Bytes(h);
    });
    WriteWholeFile(Arg(a, 1), bytes);
    return Reply{Num(static_cast<long long>(bytes.size()))};
  };
  // clip_dib FILE: the clipboard's CF_DIB as a .bmp file; width height bits.
  t["clip_dib"] = [&agent](const Args& a) {
    std::string dib;
    agent.Run([&] {
      OpenClipboardScope scope(agent.hwnd());
      HANDLE h = ::GetClipboardData(CF_DIB);
      if (!h) throw CommandError("the clipboard holds no CF_DIB");
      dib = Bytes(h);
    });
    if (dib.size() < sizeof(BITMAPINFOHEADER)) throw CommandError("CF_DIB too short");
    BITMAPINFOHEADER info{};
    std::memcpy(&info, dib.data(), sizeof info);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfSize = static_cast<DWORD>(sizeof file + dib.size());
    file.bfOffBits = static_cast<DWORD>(sizeof file + PixelOffset(info));
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes += dib;
    WriteWholeFile(Arg(a, 0), bytes);
    return Reply{Num(info.biWidth), Num(info.biHeight), Num(info.biBitCount)};
  };
}

}  // namespace pwdriver
