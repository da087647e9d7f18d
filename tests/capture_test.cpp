// The clip store, the change handler and the viewer chain, against the fake host.
#include <gtest/gtest.h>

#include <random>

#include "app/pastewright.h"
#include "fake_host.h"

namespace pw::test {
namespace {

class CaptureTest : public ::testing::Test {
 protected:
  CaptureTest() : app(fake.host()) {
    fake.Attach(app);
    fake.Start();
  }

  // Texts of the occupied rows, with each visible caption checked on the way.
  std::vector<std::u16string> Rows() {
    std::vector<std::u16string> rows;
    for (int i = 0; i < app.store().ClipCount; ++i) rows.push_back(app.store().ClipText[i]);
    return rows;
  }

  FakeHost fake;
  Pastewright app;
};

TEST_F(CaptureTest, StartStateIsEmptyHiddenAndHooked) {
  EXPECT_EQ(app.store().ClipCount, 0);
  for (int i = 0; i < kTextSlots; ++i) {
    EXPECT_FALSE(fake.visible(ClipShow(i)));
    EXPECT_FALSE(fake.visible(t(i + 1)));
    EXPECT_FALSE(fake.visible(w(i + 1)));
    EXPECT_FALSE(fake.visible(d(i)));
  }
  for (int n = 1; n <= kPictureSlots; ++n) {
    EXPECT_FALSE(fake.visible(sav(n)));
    EXPECT_FALSE(fake.visible(dpic(n)));
    EXPECT_FALSE(fake.visible(pv(n)));
    EXPECT_TRUE(fake.picture(simg(n)).empty());
    EXPECT_EQ(fake.state(simg(n)).tooltip, u"Click Ready Paste");
  }
  EXPECT_TRUE(fake.visible(EmptyAll));
  EXPECT_FALSE(fake.enabled(EmptyAll));
  EXPECT_FALSE(fake.visible(vpic));
  EXPECT_EQ(fake.caption(MainForm), u"Pastewright V2.6.1");
  EXPECT_EQ(fake.caption(CtrlFrame), u"Control Panel");
  EXPECT_EQ(fake.caption(cmd_jp), u"Cut Scr");
  EXPECT_EQ(fake.caption(CmdCapScreen), u"Web Photo");
  EXPECT_EQ(fake.caption(cmd_about), u"About Me");
  EXPECT_EQ(app.store().MsgReadyPaste, u"Content Ready Paste OK");
  EXPECT_EQ(app.store().MsgFileSaved, u"File saved Pastewright run catalog");
  EXPECT_TRUE(fake.topmost);
  // Bottom-right, 450 twips above the bottom of the screen.
  EXPECT_EQ(fake.main_left + fake.main_outer.width, fake.screen.width_twips);
  EXPECT_EQ(fake.main_top + fake.main_outer.height, fake.screen.height_twips - 450);
  EXPECT_EQ(app.store().BorderInset, 45);
  // The hook is installed last: the procedure before joining the chain.
  EXPECT_TRUE(app.hook().hooked());
  ASSERT_GE(fake.log.size(), 2u);
  EXPECT_EQ(fake.log[fake.log.size() - 2], "join-chain");
  EXPECT_EQ(fake.log.back(), "show:MainForm");
}

TEST_F(CaptureTest, TextsAreStoredWithTheirCaptions) {
  fake.CopyText(u"Hello, world");
  EXPECT_EQ(Rows(), std::vector<std::u16string>{u"Hello, world"});
  EXPECT_EQ(fake.caption(ClipShow(0)), u"Hello, w");
  EXPECT_TRUE(fake.visible(ClipShow(0)) && fake.visible(t(1)) && fake.visible(w(1)) &&
              fake.visible(d(0)));
  EXPECT_TRUE(fake.enabled(EmptyAll));

  fake.CopyText(u"x");  // one character: nothing
  fake.CopyText(u"ab");
  fake.CopyText(u"   abcdefghij");
  fake.CopyText(u"ab");  // no duplicate test
  fake.CopyText(u"        eight spaces first");
  fake.CopyText(u"after");
  EXPECT_EQ(Rows(), (std::vector<std::u16string>{u"Hello, world", u"ab", u"   abcdefghij", u"ab",
                                                 u"        eight spaces first", u"after"}));
  EXPECT_EQ(fake.caption(ClipShow(1)), u"ab");
  EXPECT_EQ(fake.caption(ClipShow(2)), u"abcde");
  EXPECT_EQ(fake.caption(ClipShow(4)), u"");
  EXPECT_TRUE(fake.visible(ClipShow(4)));
  EXPECT_EQ(fake.caption(ClipShow(5)), u"after");
  EXPECT_FALSE(fake.visible(ClipShow(6)));
  EXPECT_TRUE(fake.messages.empty());
}

TEST(RowPreviewTest, KeepsTabsAndLineBreaksAndDropsOnlyLeadingSpaces) {
  EXPECT_EQ(RowPreview(u""), u"");
  EXPECT_EQ(RowPreview(u"        "), u"");
  EXPECT_EQ(RowPreview(u"         x"), u"");
  EXPECT_EQ(RowPreview(u"\tab cd ef gh"), u"\tab cd e");
  EXPECT_EQ(RowPreview(u"a\r\nb  c"), u"a\r\nb  c");
  EXPECT_EQ(RowPreview(u" \u00A0x"), u"\u00A0x");  // only U+0020 is a space here
}

TEST_F(CaptureTest, EleventhTextDropsTheOldestAndCaptionsFollowTheirTexts) {
  for (int i = 1; i <= 11; ++i) fake.CopyText(u"text number " + std::u16string(1, u'A' + i));
  ASSERT_EQ(app.store().ClipCount, 10);
  for (int i = 0; i < kTextSlots; ++i) {
    const std::u16string expected = u"text number " + std::u16string(1, u'A' + i + 2);
    EXPECT_EQ(app.store().ClipText[i], expected);
    EXPECT_EQ(fake.caption(ClipShow(i)), RowPreview(expected));
    EXPECT_TRUE(fake.visible(ClipShow(i)));
  }
  EXPECT_TRUE(fake.messages.empty());
}

TEST_F(CaptureTest, PicturesFillSlotsAndTheSixthDropsTheOldestSameObjects) {
  std::vector<Picture> pictures;
  for (int i = 0; i < 6; ++i) pictures.push_back(MakePicture(3, 2, 0xFF000000u + i));
  for (int i = 0; i < 5; ++i) {
    fake.CopyPicture(pictures[i]);
    EXPECT_TRUE(fake.visible(sav(i + 1)) && fake.visible(dpic(i + 1)) && fake.visible(pv(i + 1)));
  }
  fake.CopyPicture(pictures[5]);
  for (int n = 1; n <= 5; ++n) EXPECT_TRUE(fake.picture(simg(n)) == pictures[n]);
  // Dropped for good: only our vector still holds the first picture.
  EXPECT_EQ(pictures[0].use_count(), 1);

  // A cleared clipboard never pushes a picture out of a full store.
  fake.CopyNothingReadable();
  for (int n = 1; n <= 5; ++n) EXPECT_TRUE(fake.picture(simg(n)) == pictures[n]);
  EXPECT_EQ(app.store().ClipCount, 0);
}

TEST_F(CaptureTest, TextWinsOverPictureAndOneCharacterTakesNeither) {
  fake.CopyTextAndPicture(u"caption", MakePicture());
  EXPECT_EQ(app.store().ClipCount, 1);
  EXPECT_TRUE(fake.picture(simg(1)).empty());

  fake.CopyTextAndPicture(u"x", MakePicture());
  EXPECT_EQ(app.store().ClipCount, 1);
  EXPECT_TRUE(fake.picture(simg(1)).empty());
  EXPECT_FALSE(fake.visible(sav(1)));
}

TEST_F(CaptureTest, UnreadableOrWithheldClipboardStoresNothing) {
  fake.clipboard_locked = true;
  fake.CopyText(u"held open by someone");
  fake.clipboard_locked = false;
  EXPECT_EQ(app.store().ClipCount, 0);

  fake.clip_text = u"secret password";
  fake.clipboard_withheld = true;
  fake.Deliver(wm::kDrawClipboard);
  EXPECT_EQ(app.store().ClipCount, 0);
  EXPECT_FALSE(fake.visible(ClipShow(0)));

  fake.CopyText(u"ordinary");
  EXPECT_EQ(app.store().ClipCount, 1);
}

TEST(ClipboardChainTest, JoinsPassesOnRelinksAndLeaves) {
  FakeHost fake;
  fake.next_viewer = 0x77;  // a viewer that joined before us
  fake.CopyText(u"on the clipboard before start");
  Pastewright app(fake.host());
  fake.Attach(app);
  fake.Start();
  // Whatever the clipboard held at start-up is the first item, and the
  // joining notice is not passed on (it was ours alone).
  EXPECT_EQ(app.store().ClipCount, 1);
  EXPECT_TRUE(fake.sent.empty());
  EXPECT_EQ(app.hook().NextViewer, 0x77u);

  fake.CopyText(u"second");
  ASSERT_EQ(fake.sent.size(), 1u);
  EXPECT_EQ(fake.sent[0], "119:776:0:0");  // WM_DRAWCLIPBOARD to 0x77

  // A window further down leaves: passed on unchanged.
  fake.Deliver(wm::kChangeCbChain, 0x90, 0x91);
  EXPECT_EQ(fake.sent.back(), "119:781:144:145");
  EXPECT_EQ(app.hook().NextViewer, 0x77u);
  // Our neighbour leaves: relinked to its successor, not passed on.
  fake.Deliver(wm::kChangeCbChain, 0x77, 0x88);
  EXPECT_EQ(app.hook().NextViewer, 0x88u);
  EXPECT_EQ(fake.sent.size(), 2u);

  // Other messages go on to the window's own procedure.
  fake.Deliver(0x0010);
  EXPECT_EQ(fake.default_proc_messages, std::vector<std::uint32_t>{0x0010});

  fake.UserCloses(MainForm);
  EXPECT_EQ(fake.log[fake.log.size() - 3], "restore-proc");
  EXPECT_EQ(fake.log[fake.log.size() - 2], "leave-chain:136");
  EXPECT_TRUE(fake.ended);
  EXPECT_EQ(fake.installed_proc, nullptr);
  fake.CopyText(u"after exit");
  EXPECT_EQ(app.store().ClipCount, 2);
}

// A viewer ahead of us may pass on the notices of a clear-then-write only
// after both are done: each state of the clipboard is stored once, but the
// same text copied twice is two changes.
TEST_F(CaptureTest, EachClipboardStateIsExaminedOnce) {
  fake.count_changes = true;
  fake.CopyText(u"twice");
  fake.CopyText(u"twice");
  EXPECT_EQ(Rows(), (std::vector<std::u16string>{u"twice", u"twice"}));
  fake.Deliver(wm::kDrawClipboard);  // a late notice of the same state
  fake.Deliver(wm::kDrawClipboard);
  EXPECT_EQ(app.store().ClipCount, 2);
  fake.CopyPicture(MakePicture());
  fake.Deliver(wm::kDrawClipboard);
  EXPECT_FALSE(fake.picture(simg(1)).empty());
  EXPECT_TRUE(fake.picture(simg(2)).empty());
}

// Random clipboard changes against a plain model of the store.
TEST_F(CaptureTest, RandomChangesKeepTheStoreConsistent) {
  std::mt19937 rng(20261206);
  std::vector<std::u16string> texts;
  std::vector<Picture> pictures;
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };

  for (int step = 0; step < 4000; ++step) {
    std::u16string text;
    switch (pick(7)) {
      case 0: fake.CopyNothingReadable(); break;
      case 1: fake.CopyText(u"z"); break;
      case 2: text = u"ab"; break;
      case 3: text = std::u16string(pick(12), u' ') + u"spaced " + std::u16string(1, u'a' + pick(26)); break;
      case 4: text = std::u16string(50 + pick(200), u'a' + pick(26)); break;
      case 5: {
        Picture p = MakePicture(1 + pick(4), 1 + pick(4), static_cast<std::uint32_t>(step));
        if (pick(4) == 0) {
          fake.clipboard_locked = true;
          fake.CopyPicture(p);
          fake.clipboard_locked = false;
        } else {
          fake.CopyPicture(p);
          pictures.push_back(p);
          if (pictures.size() > 5) pictures.erase(pictures.begin());
        }
        break;
      }
      case 6: {
        const std::u16string both = u"both " + std::u16string(1, u'a' + pick(26));
        fake.CopyTextAndPicture(both, MakePicture());
        texts.push_back(both);
        if (texts.size() > 10) texts.erase(texts.begin());
        break;
      }
    }
    if (!text.empty()) {
      fake.CopyText(text);
      texts.push_back(text);
      if (texts.size() > 10) texts.erase(texts.begin());
    }

    const ClipStore& s = app.store();
    ASSERT_EQ(s.ClipCount, static_cast<int>(texts.size()));
    for (int i = 0; i < kTextSlots; ++i) {
      const bool used = i < s.ClipCount;
      ASSERT_EQ(s.ClipText[i], used ? texts[i] : u"");
      ASSERT_EQ(fake.visible(ClipShow(i)), used);
      ASSERT_EQ(fake.visible(t(i + 1)), used);
      ASSERT_EQ(fake.visible(w(i + 1)), used);
      ASSERT_EQ(fake.visible(d(i)), used);
      if (used) {
        ASSERT_EQ(fake.caption(ClipShow(i)), RowPreview(texts[i]));
      }
    }
    ASSERT_EQ(fake.enabled(EmptyAll), s.ClipCount > 0);
    for (int n = 1; n <= kPictureSlots; ++n) {
      const bool used = n <= static_cast<int>(pictures.size());
      ASSERT_TRUE(fake.picture(simg(n)) == (used ? pictures[n - 1] : Picture()));
      ASSERT_EQ(fake.visible(sav(n)), used);
      ASSERT_EQ(fake.visible(pv(n)), used);
    }
  }
}

}  // namespace
}  // namespace pw::test
