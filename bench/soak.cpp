// A long random session against the fake host: clipboard changes from other
// programs (some while a message box is open, some with the clipboard held),
// and every click the main window offers. After each step the store must be
// consistent, and a clicked clip must never be lost.
//
//   pastewright_soak [steps] [seed]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <string>

#include "app/pastewright.h"
#include "fake_host.h"
#include "platform/text.h"

using namespace pw;

namespace {

struct Soak {
  test::FakeHost fake;
  Pastewright app{fake.host()};
  std::mt19937 rng;
  long violations = 0;
  std::uint32_t next_tag = 1;

  explicit Soak(unsigned seed) : rng(seed) {
    fake.Attach(app);
    fake.Start();
  }

  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

  std::u16string RandomText() {
    switch (Pick(5)) {
      case 0: return u"x";
      case 1: return u"";
      case 2: return std::u16string(static_cast<std::size_t>(Pick(12)), u' ') + u"t" + Decimal(Pick(1000));
      case 3: return std::u16string(static_cast<std::size_t>(2 + Pick(300)), static_cast<char16_t>(u'a' + Pick(26)));
      default: return u"text " + Decimal(Pick(50));
    }
  }

  void Fail(long step, const std::string& what) {
    if (++violations <= 20) std::printf("step %ld: %s\n", step, what.c_str());
  }

  void OtherProgramCopies() {
    switch (Pick(4)) {
      case 0: fake.CopyNothingReadable(); break;
      case 1: fake.CopyPicture(test::MakePicture(1 + Pick(3), 1 + Pick(3), next_tag++)); break;
      case 2: fake.CopyTextAndPicture(RandomText(), test::MakePicture()); break;
      default: fake.CopyText(RandomText()); break;
    }
  }

  void Step(long step) {
    // Sometimes a message box sees another program copy, or grab the clipboard.
    fake.on_message_box = nullptr;
    if (Pick(3) == 0) {
      const int what = Pick(3);
      fake.on_message_box = [this, what](std::u16string_view) {
        if (what == 2) {
          fake.clipboard_locked = true;
        } else {
          OtherProgramCopies();
        }
      };
    }
    const ClipStore& s = app.store();
    const int action = Pick(10);
    if (action < 4) {
      const bool locked = Pick(8) == 0;
      fake.clipboard_locked = locked;
      OtherProgramCopies();
    } else if (action == 4 && s.ClipCount > 0) {
      const int slot = Pick(s.ClipCount);
      const std::u16string clicked = s.ClipText[slot];
      fake.Click(ClipShow(slot));
      if (s.ClipCount == 0 || s.ClipText[s.ClipCount - 1] != clicked) {
        Fail(step, "a clicked text is not the newest row");
      }
    } else if (action == 5 && s.ClipCount > 0) {
      fake.Click(d(Pick(s.ClipCount)));
    } else if (action == 6 && Pick(5) == 0) {
      fake.Click(EmptyAll);
    } else if (action == 7) {
      const int n = 1 + Pick(kPictureSlots);
      const Picture clicked = fake.picture(simg(n));
      fake.Click(simg(n));
      if (!clicked.empty()) {
        bool kept = false;
        for (int j = 1; j <= kPictureSlots; ++j) kept = kept || fake.picture(simg(j)) == clicked;
        if (!kept) Fail(step, "a clicked picture was lost");
      }
    } else if (action == 8) {
      fake.Click(dpic(1 + Pick(kPictureSlots)));
    } else if (action == 9) {
      fake.MouseMove(ClipShow(Pick(kTextSlots)), static_cast<float>(Pick(2200)) - 100, 10);
    }
    fake.clipboard_locked = false;
    Check(step);
  }

  void Check(long step) {
    const ClipStore& s = app.store();
    if (s.ClipCount < 0 || s.ClipCount > kTextSlots) return Fail(step, "ClipCount out of range");
    std::set<std::uint32_t> serials;
    for (int i = 0; i < kTextSlots; ++i) {
      const bool used = i < s.ClipCount;
      if (used != (s.ClipText[i].size() >= 2)) Fail(step, "a gap or a short text in the rows");
      if (fake.visible(ClipShow(i)) != used || fake.visible(t(i + 1)) != used ||
          fake.visible(w(i + 1)) != used || fake.visible(d(i)) != used) {
        Fail(step, "row visibility does not match the texts");
      }
      if (fake.caption(ClipShow(i)) != (used ? RowPreview(s.ClipText[i]) : u"")) {
        Fail(step, "a caption does not match its text");
      }
      if (used && !serials.insert(s.ClipSerial[i]).second) Fail(step, "two rows are one clip");
    }
    if (fake.enabled(EmptyAll) != (s.ClipCount > 0)) Fail(step, "Empty All is wrong");
    bool gap = false;
    for (int n = 1; n <= kPictureSlots; ++n) {
      const bool used = !fake.picture(simg(n)).empty();
      if (used && gap) Fail(step, "a gap in the pictures");
      gap = gap || !used;
      if (fake.visible(sav(n)) != used || fake.visible(dpic(n)) != used ||
          fake.visible(pv(n)) != used) {
        Fail(step, "picture buttons do not match the slots");
      }
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  const long steps = argc > 1 ? std::atol(argv[1]) : 50000;
  const unsigned seed = argc > 2 ? static_cast<unsigned>(std::atol(argv[2])) : 20261206u;
  Soak soak(seed);
  const auto start = std::chrono::steady_clock::now();
  for (long i = 0; i < steps; ++i) soak.Step(i);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("soak: %ld steps (seed %u) in %.2f s, %ld violations\n", steps, seed, seconds,
              soak.violations);
  return soak.violations == 0 ? 0 : 1;
}
