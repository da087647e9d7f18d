// How much storing a clip costs beyond reading it.
//
// The floor for taking a text is one read of the clipboard (one copy of the
// text); the change handler should cost little more. Shifting a full store
// moves texts, so it must not grow with their size.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>

#include "app/pastewright.h"
#include "capture/change_handler.h"
#include "fake_host.h"

using namespace pw;
using SteadyClock = std::chrono::steady_clock;

namespace {

double BestSeconds(int runs, const std::function<void()>& body) {
  double best = 1e9;
  for (int i = 0; i < runs; ++i) {
    const auto start = SteadyClock::now();
    body();
    best = std::min(best, std::chrono::duration<double>(SteadyClock::now() - start).count());
  }
  return best;
}

struct Fixture {
  test::FakeHost fake;
  Pastewright app{fake.host()};
  Fixture() {
    fake.Attach(app);
    fake.Start();
  }
};

void StoreVersusRead(const char* label, std::size_t chars, int runs) {
  Fixture f;
  f.fake.clip_text = std::u16string(chars, u'q');
  const double read = BestSeconds(runs, [&] {
    TextRead r = f.fake.ReadText();
    if (r.text.size() != chars) std::abort();
  });
  // Into a free slot: the store is emptied again between runs, outside the timing.
  double free_slot = 1e9;
  for (int i = 0; i < runs; ++i) {
    f.app.store() = ClipStore{};
    f.app.store().ClipCount = 0;
    free_slot = std::min(free_slot, BestSeconds(1, [&] { f.fake.Deliver(wm::kDrawClipboard); }));
  }
  // Into a full store: every notification also drops (frees) the oldest text.
  for (int i = 0; i < kTextSlots; ++i) f.fake.Deliver(wm::kDrawClipboard);
  const double full = BestSeconds(runs, [&] { f.fake.Deliver(wm::kDrawClipboard); });
  std::printf("store %-6s text: one read %9.4f ms; free slot %9.4f ms (ratio %.2f); "
              "full store %9.4f ms (ratio %.2f); goal <= 1.2\n",
              label, read * 1e3, free_slot * 1e3, free_slot / read, full * 1e3, full / read);
}

void ShiftCost(const char* label, std::size_t chars) {
  Fixture f;
  for (int i = 0; i < kTextSlots; ++i) f.fake.CopyText(std::u16string(chars, u'a' + i));
  // Only the shift: the new text is moved in, not read from the clipboard.
  std::u16string next(chars, u'z');
  const double shift = BestSeconds(1, [&] { StoreText(f.fake, f.app.store(), std::move(next)); });
  std::printf("full-store shift, ten %-6s texts: %8.4f ms (goal <= 1 ms, flat in size)\n", label,
              shift * 1e3);
}

void PreviewCost(const char* label, std::size_t chars) {
  const std::u16string text(chars, u'p');
  std::size_t sink = 0;
  const double t = BestSeconds(5, [&] {
    for (int i = 0; i < 1000; ++i) sink += RowPreview(text).size();
  });
  std::printf("RowPreview of a %-6s text: %8.4f us per call%s\n", label, t * 1e3,
              sink ? "" : " ");
}

}  // namespace

int main() {
  std::printf("Pastewright store benchmark (fake host, best of several runs)\n");
  StoreVersusRead("1 KB", 512, 200);
  StoreVersusRead("1 MB", 512 * 1024, 20);
  StoreVersusRead("100 MB", 50 * 1024 * 1024, 3);
  ShiftCost("1 KB", 512);
  ShiftCost("10 MB", 5 * 1024 * 1024);
  PreviewCost("16 B", 8);
  PreviewCost("100 MB", 50 * 1024 * 1024);
  return 0;
}
