// A started program on a fake host, seen as the user sees it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/pastewright.h"
#include "fake_host.h"

namespace pw::test {

class AppTest : public ::testing::Test {
 protected:
  AppTest() : app(fake) {
    fake.Attach(app);
    app.Start();
  }

  // The captions of the rows shown, top to bottom; a shown row after a
  // hidden one would be a gap and fails the test.
  std::vector<std::u16string> Captions() const {
    std::vector<std::u16string> out;
    bool gap = false;
    for (const RowView& row : fake.view.rows) {
      EXPECT_FALSE(row.shown && gap) << "a shown row after a hidden one";
      gap = gap || !row.shown;
      if (row.shown) out.push_back(row.caption);
    }
    EXPECT_EQ(fake.view.can_empty_all, !out.empty());
    return out;
  }

  // The texts held, oldest first.
  std::vector<std::u16string> Texts() const {
    std::vector<std::u16string> out;
    for (int i = 0; i < app.store().ClipCount; ++i) out.push_back(app.store().ClipText[i].text);
    return out;
  }

  // The pictures shown, slot 1 first, with no gaps.
  std::vector<Picture> Slots() const {
    std::vector<Picture> out;
    bool gap = false;
    for (const Picture& p : fake.view.pictures) {
      EXPECT_FALSE(!p.empty() && gap) << "a picture after an empty slot";
      gap = gap || p.empty();
      if (!p.empty()) out.push_back(p);
    }
    return out;
  }

  void CopyAll(const std::vector<std::u16string>& texts) {
    for (const auto& text : texts) fake.CopyText(text);
  }

  FakeHost fake;
  Pastewright app;
};

}  // namespace pw::test
