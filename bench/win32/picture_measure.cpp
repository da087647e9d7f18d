// A 4K picture copied by another program: what reading it costs, and what
// the change handler costs in all to store it.
//
// The real clipboard layer reads the picture; the fake host stands in for
// the windows and controls, so the figure is the handler's own cost beyond
// the read, without any drawing.
#include "platform/win32/clipboard.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "bench_support.h"
#include "capture/change_handler.h"
#include "fake_host.h"
#include "measures.h"

namespace pwbench {
namespace {

constexpr LONG kWidth = 3840;
constexpr LONG kHeight = 2160;

// A packed 32-bpp DIB with a pattern in every channel, bottom-up, as picture
// programs put it on the clipboard.
std::vector<std::uint8_t> MakePackedDib() {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = kWidth;
  header.biHeight = kHeight;
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  header.biSizeImage = static_cast<DWORD>(kWidth * kHeight * 4);
  std::vector<std::uint8_t> packed(sizeof header + header.biSizeImage);
  std::memcpy(packed.data(), &header, sizeof header);
  std::uint8_t* p = packed.data() + sizeof header;
  for (LONG y = 0; y < kHeight; ++y) {
    for (LONG x = 0; x < kWidth; ++x) {
      *p++ = static_cast<std::uint8_t>(x);
      *p++ = static_cast<std::uint8_t>(y);
      *p++ = static_cast<std::uint8_t>(x ^ y);
      *p++ = 0;
    }
  }
  return packed;
}

// A hidden message-only window that owns what this bench puts on the clipboard.
class OwnerWindow {
 public:
  OwnerWindow()
      : hwnd_(::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                ::GetModuleHandleW(nullptr), nullptr)) {}
  HWND get() const { return hwnd_.get(); }

 private:
  pw::win32::UniqueWindow hwnd_;
};

// Replaces the clipboard with the DIB alone, by the plain system calls; every
// call makes a new clipboard content, so no read below finds a cached one.
bool PutDib(HWND owner, const std::vector<std::uint8_t>& packed) {
  pw::win32::UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, packed.size()));
  if (!memory) return false;
  {
    pw::win32::GlobalLockScope<std::uint8_t> lock(memory.get());
    if (!lock) return false;
    std::memcpy(lock.get(), packed.data(), packed.size());
  }
  pw::win32::OpenClipboardScope scope(owner);
  if (!scope.opened() || !::EmptyClipboard()) return false;
  if (!::SetClipboardData(CF_DIB, memory.get())) return false;
  memory.release();
  return true;
}

bool Is4k(const pw::Picture& picture) {
  return picture && picture.bitmap().width() == kWidth && picture.bitmap().height() == kHeight;
}

// The newest stored picture: the highest occupied slot.
pw::Picture NewestStored(const pw::Forms& forms) {
  for (int n = pw::kPictureSlots; n >= 1; --n) {
    if (pw::PictureSlotOccupied(forms, n)) return pw::PictureSlot(forms, n);
  }
  return {};
}

}  // namespace

int MeasurePicture4k(int runs) {
  OwnerWindow owner;
  if (!owner.get()) return 1;
  const std::vector<std::uint8_t> packed = MakePackedDib();

  pw::test::FakeHost fake;
  pw::win32::Win32Clipboard clipboard;
  pw::ClipStore store;
  pw::Host host{fake, clipboard, fake, fake, fake, fake, fake};

  std::vector<double> reads;
  std::vector<double> stores;
  for (int run = 0; run <= runs; ++run) {
    if (!PutDib(owner.get(), packed)) {
      std::fprintf(stderr, "pwbench: cannot put the picture on the clipboard\n");
      return 1;
    }
    auto start = Clock::now();
    pw::PictureRead read = clipboard.ReadPicture();
    const double read_ms = MillisecondsSince(start);
    if (read.status != pw::ClipStatus::Ok || !Is4k(read.picture)) {
      std::fprintf(stderr, "pwbench: the picture did not read back\n");
      return 1;
    }
    read = {};

    if (!PutDib(owner.get(), packed)) return 1;
    const pw::Picture before = NewestStored(fake);
    start = Clock::now();
    pw::OnClipboardChange(host, store);
    const double store_ms = MillisecondsSince(start);
    const pw::Picture stored = NewestStored(fake);
    if (!Is4k(stored) || stored == before) {
      std::fprintf(stderr, "pwbench: the change handler did not store the picture\n");
      return 1;
    }
    std::printf("4K picture run %d: read %.1f ms; change handler %.1f ms%s\n", run, read_ms,
                store_ms, run == 0 ? " (warm-up, not counted)" : "");
    if (run > 0) {
      reads.push_back(read_ms);
      stores.push_back(store_ms);
    }
  }
  // Leave no 33 MB picture behind on the display's clipboard.
  {
    pw::win32::OpenClipboardScope scope(owner.get());
    if (scope.opened()) ::EmptyClipboard();
  }
  const double read = Median(reads);
  const double stored = Median(stores);
  Figure("picture4k.read_median_ms", read);
  Figure("picture4k.store_median_ms", stored);
  Figure("picture4k.ratio", read > 0 ? stored / read : 0);
  return 0;
}

}  // namespace pwbench
