// A started program on a fake host, and a few ways to look at it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/pastewright.h"
#include "fake_host.h"

namespace pw::test {

class AppTest : public ::testing::Test {
 protected:
  AppTest() : app(fake.host()) {
    fake.Attach(app);
    fake.Start();
  }

  void CopyAll(std::initializer_list<std::u16string> texts) {
    for (const auto& text : texts) fake.CopyText(text);
  }

  // The texts held, oldest first.
  std::vector<std::u16string> Rows() const {
    std::vector<std::u16string> rows;
    for (int i = 0; i < app.store().ClipCount; ++i) rows.push_back(app.store().ClipText[i]);
    return rows;
  }

  // Every occupied row shows its own caption and icons; every other row is
  // hidden and blank; "Empty All" is enabled exactly while texts are held.
  void ExpectRowsConsistent() {
    const ClipStore& s = app.store();
    for (int i = 0; i < kTextSlots; ++i) {
      const bool used = i < s.ClipCount;
      EXPECT_EQ(fake.visible(ClipShow(i)), used) << "row " << i;
      EXPECT_EQ(fake.visible(t(i + 1)), used) << "row " << i;
      EXPECT_EQ(fake.visible(w(i + 1)), used) << "row " << i;
      EXPECT_EQ(fake.visible(d(i)), used) << "row " << i;
      EXPECT_EQ(fake.caption(ClipShow(i)), used ? RowPreview(s.ClipText[i]) : u"") << "row " << i;
      if (!used) {
        EXPECT_EQ(s.ClipText[i], u"");
      }
    }
    EXPECT_EQ(fake.enabled(EmptyAll), s.ClipCount > 0);
  }

  std::vector<Picture> Slots() const {
    std::vector<Picture> slots;
    for (int n = 1; n <= kPictureSlots && !fake.picture(simg(n)).empty(); ++n) {
      slots.push_back(fake.picture(simg(n)));
    }
    return slots;
  }

  void ExpectPictureButtonsMatchSlots() {
    for (int n = 1; n <= kPictureSlots; ++n) {
      const bool used = !fake.picture(simg(n)).empty();
      EXPECT_EQ(fake.visible(sav(n)), used) << "slot " << n;
      EXPECT_EQ(fake.visible(dpic(n)), used) << "slot " << n;
      EXPECT_EQ(fake.visible(pv(n)), used) << "slot " << n;
    }
  }

  // Log entries from `mark` on.
  std::vector<std::string> LogSince(std::size_t mark) const {
    return {fake.log.begin() + static_cast<std::ptrdiff_t>(mark), fake.log.end()};
  }

  FakeHost fake;
  Pastewright app;
};

}  // namespace pw::test
