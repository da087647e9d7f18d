// Text rows: removing, clicking, hovering, deleting, emptying and exporting.
#include "app_fixture.h"
#include "cliplist/clip_list.h"
#include "cliplist/row_actions.h"
#include "cliplist/text_export.h"
#include "platform/text.h"

namespace pw::test {
namespace {

using Texts = std::vector<std::u16string>;

std::u16string Nth(int i) { return u"clip number " + Decimal(i); }

class ClipListTest : public AppTest {
 protected:
  void Refresh(int k) { RefreshClipList(fake, app.store(), static_cast<std::int16_t>(k)); }
  void Fill(int count) {
    for (int i = 1; i <= count; ++i) fake.CopyText(Nth(i));
  }
};

TEST_F(ClipListTest, RefreshRemovesOneRowAndMovesTheLaterRowsUp) {
  Fill(10);
  Refresh(4);
  Texts expected;
  for (int i : {1, 2, 3, 5, 6, 7, 8, 9, 10}) expected.push_back(Nth(i));
  EXPECT_EQ(Rows(), expected);
  EXPECT_EQ(fake.caption(CtrlFrame), u"Ctrl Panel");
  ExpectRowsConsistent();

  Refresh(9);  // the last occupied row: nothing else moves
  expected.pop_back();
  EXPECT_EQ(Rows(), expected);
  ExpectRowsConsistent();

  Refresh(100);
  EXPECT_TRUE(Rows().empty());
  ExpectRowsConsistent();
  Refresh(100);  // with nothing held: only the title and "Empty All" are touched
  EXPECT_TRUE(Rows().empty());
  ExpectRowsConsistent();
}

TEST_F(ClipListTest, RefreshOfTheOnlyRowEmptiesTheList) {
  fake.CopyText(u"only");
  EXPECT_EQ(fake.caption(CtrlFrame), u"Control Panel");
  Refresh(1);
  EXPECT_EQ(app.store().ClipCount, 0);
  EXPECT_FALSE(fake.enabled(EmptyAll));
  EXPECT_EQ(fake.caption(CtrlFrame), u"Ctrl Panel");
  ExpectRowsConsistent();
}

TEST_F(ClipListTest, RefreshWithRowsThatHoldNothingChangesNothingButTheTitle) {
  Fill(3);
  for (int k : {0, 11, 99, -1, 4, 10}) {
    Refresh(k);
    EXPECT_EQ(Rows(), (Texts{Nth(1), Nth(2), Nth(3)})) << "k = " << k;
    EXPECT_EQ(fake.caption(CtrlFrame), u"Ctrl Panel");
    ExpectRowsConsistent();
  }
  Fill(10);
  const std::size_t mark = fake.log.size();
  HideUnusedRows(fake, 10);
  EXPECT_TRUE(LogSince(mark).empty());
}

TEST_F(ClipListTest, RowClickShowsTheBoxThenMovesTheClipToTheEndAndTheClipboard) {
  CopyAll({u"A-text", u"B-text", u"C-text", u"D-text", u"E-text"});
  fake.state(vpic).visible = fake.state(pView).visible = true;
  Texts rows_while_box_open;
  fake.on_message_box = [&](std::u16string_view) { rows_while_box_open = Rows(); };
  const std::size_t mark = fake.log.size();

  fake.Click(ClipShow(2));

  EXPECT_EQ(rows_while_box_open, (Texts{u"A-text", u"B-text", u"C-text", u"D-text", u"E-text"}));
  EXPECT_EQ(Rows(), (Texts{u"A-text", u"B-text", u"D-text", u"E-text", u"C-text"}));
  EXPECT_EQ(fake.clip_text, u"C-text");
  const std::vector<std::string> log = LogSince(mark);
  ASSERT_GE(log.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 3),
            (std::vector<std::string>{"hide:pView", "hide:vpic", "box:Content Ready Paste OK"}));
  const auto clear = std::find(log.begin(), log.end(), "clip.clear");
  ASSERT_NE(clear, log.end());
  EXPECT_EQ(*(clear + 1), "clip.text:C-text");
  EXPECT_EQ(fake.messages.size(), 1u);
  ExpectRowsConsistent();
}

TEST_F(ClipListTest, ClickingTheOnlyRowBringsItBack) {
  fake.CopyText(u"alone");
  fake.Click(ClipShow(0));
  EXPECT_EQ(Rows(), Texts{u"alone"});
  EXPECT_TRUE(fake.enabled(EmptyAll));
  ExpectRowsConsistent();
}

TEST_F(ClipListTest, TextCopiedWhileTheBoxIsOpenIsKeptAndTheClickedClipMoves) {
  CopyAll({u"first", u"second", u"third"});
  fake.on_message_box = [&](std::u16string_view) { fake.CopyText(u"copied meanwhile"); };
  fake.Click(ClipShow(1));
  EXPECT_EQ(Rows(), (Texts{u"first", u"third", u"copied meanwhile", u"second"}));
  ExpectRowsConsistent();
}

// With ten held, a copy during the box drops the oldest and moves every row:
// the clicked clip must still be the one removed.
TEST_F(ClipListTest, ClickedClipIsFoundAgainAfterTheStoreMoved) {
  Fill(10);
  fake.on_message_box = [&](std::u16string_view) { fake.CopyText(u"new"); };
  fake.Click(ClipShow(4));  // clip 5
  Texts expected;
  for (int i : {2, 3, 4, 6, 7, 8, 9, 10}) expected.push_back(Nth(i));
  expected.push_back(u"new");
  expected.push_back(Nth(5));
  EXPECT_EQ(Rows(), expected);
  ExpectRowsConsistent();

  // The last row: the copy made meanwhile is not the one removed.
  fake.Click(ClipShow(9));  // clip 5 again
  const Texts rows = Rows();
  EXPECT_EQ(rows[8], u"new");
  EXPECT_EQ(rows[9], Nth(5));
  EXPECT_EQ(std::count(rows.begin(), rows.end(), u"new"), 2);

  // The first row is dropped by the copy itself: nothing else is removed.
  fake.on_message_box = [&](std::u16string_view) { fake.CopyText(u"pushes out"); };
  const Texts before = Rows();
  fake.Click(ClipShow(0));
  Texts after(before.begin() + 2, before.end());
  after.push_back(u"pushes out");
  after.push_back(before[0]);
  EXPECT_EQ(Rows(), after);
  ExpectRowsConsistent();
}

TEST_F(ClipListTest, EqualTextsAreDifferentClips) {
  Fill(10);
  fake.CopyText(u"same");  // row 10
  for (int i = 0; i < 4; ++i) fake.CopyText(Nth(20 + i));
  fake.CopyText(u"same");  // now rows 5 and 10 hold "same"
  fake.on_message_box = [&](std::u16string_view) { fake.CopyText(u"new"); };
  fake.Click(ClipShow(9));
  // The later "same" was clicked; the earlier one (moved up to row 4) stays.
  EXPECT_EQ(Rows()[3], u"same");
  EXPECT_EQ(Rows()[9], u"same");
  EXPECT_EQ(Rows()[8], u"new");
  ExpectRowsConsistent();
}

TEST_F(ClipListTest, ClipboardHeldByAnotherProgramDoesNotLoseTheClickedText) {
  CopyAll({u"keep me", u"other"});
  fake.on_message_box = [&](std::u16string_view) { fake.clipboard_locked = true; };
  fake.Click(ClipShow(0));
  fake.clipboard_locked = false;
  EXPECT_EQ(Rows(), (Texts{u"other", u"keep me"}));
  ASSERT_EQ(fake.messages.size(), 2u);
  EXPECT_EQ(fake.messages[1].kind, MessageKind::Error);
  EXPECT_NE(fake.messages[1].prompt.find(u"could not be put on the clipboard"), std::u16string::npos);
  ExpectRowsConsistent();
}

TEST_F(ClipListTest, HoverShowsThePreviewAndTheFirstMoveOffHidesIt) {
  CopyAll({u"   abc", std::u16string(5, u' ') + std::u16string(100, u'x')});
  fake.MouseMove(ClipShow(0), 10, 10);
  EXPECT_TRUE(fake.visible(vpic) && fake.visible(pView));
  EXPECT_EQ(fake.text(pView), u"abc... ...");
  EXPECT_EQ(fake.captured, fake.Handle(ClipShow(0)));

  fake.MouseMove(ClipShow(1), 1935, 325);  // the edges count as inside
  EXPECT_EQ(fake.text(pView), std::u16string(75, u'x') + u"... ...");
  EXPECT_EQ(fake.captured, fake.Handle(ClipShow(1)));

  for (auto [x, y] : {std::pair{-1.0f, 10.0f}, {10.0f, -0.5f}, {1936.0f, 10.0f}, {10.0f, 326.0f}}) {
    fake.MouseMove(ClipShow(1), 10, 10);
    fake.MouseMove(ClipShow(1), x, y);
    EXPECT_FALSE(fake.visible(vpic) || fake.visible(pView)) << x << "," << y;
    EXPECT_EQ(fake.text(pView), u"");
    EXPECT_EQ(fake.captured, 0u);
  }
  EXPECT_EQ(PreviewText(u"a\r\n\tb  "), u"a\r\n\tb  ... ...");
}

TEST_F(ClipListTest, DeleteAndEmptyAllAskNothing) {
  CopyAll({u"one", u"two", u"three"});
  for (int i = 1; i <= 3; ++i) fake.CopyPicture(MakePicture(2, 2, i));
  fake.CopyText(u"on the clipboard");
  const int writes = fake.clipboard_writes;

  fake.Click(d(1));
  EXPECT_EQ(Rows(), (Texts{u"one", u"three", u"on the clipboard"}));
  EXPECT_EQ(fake.clipboard_writes, writes);
  EXPECT_EQ(fake.clip_text, u"on the clipboard");

  fake.Click(EmptyAll);
  EXPECT_TRUE(Rows().empty());
  EXPECT_FALSE(fake.clip_text.has_value());
  EXPECT_EQ(Slots().size(), 3u);
  EXPECT_TRUE(fake.messages.empty());
  ExpectRowsConsistent();
  ExpectPictureButtonsMatchSlots();
}

// A huge text's memory goes when the text goes, however it goes.
TEST_F(ClipListTest, RemovedTextsGiveTheirMemoryBack) {
  const std::u16string big(1 << 20, u'b');
  auto largest = [&] {
    std::size_t most = app.store().PasteText.capacity();
    for (const auto& text : app.store().ClipText) most = std::max(most, text.capacity());
    return most;
  };
  fake.CopyText(big);
  fake.Click(ClipShow(0));  // row click: the staged copy is released too
  fake.Click(EmptyAll);
  EXPECT_LT(largest(), 64u);
  fake.CopyText(big);
  fake.CopyText(u"small");
  fake.Click(d(0));
  EXPECT_LT(largest(), 64u);
  fake.CopyText(big);
  Fill(10);  // pushed out by later copies
  EXPECT_LT(largest(), 64u);
}

TEST(ExportNameTest, KeepsLettersDigitsAndDoubleByteCharacters) {
  FakeHost fake;
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"Hello, W", u"HelloW"},   {u"-- !? ..", u""},       {u"中文ab 12", u"中文ab12"},
      {u"café au", u"cafau"},     {u"con", u"con_"},        {u"Com7", u"Com7_"},
      {u"LPT9.x", u"LPT9x"},      {u"nul", u"nul_"},        {u"COM0", u"COM0"},
      {u"\tx\r\ny", u"xy"},
  };
  for (const auto& [caption, base] : cases) {
    EXPECT_EQ(ExportBaseName(fake, caption), base) << Utf8(caption);
  }
}

TEST_F(ClipListTest, ExportWritesTheTextAndOneLineEnd) {
  CopyAll({u"Hello, World!", u"中文 text", u"naïve", u"!!!!"});
  fake.Click(t(1));
  fake.Click(w(1));
  EXPECT_EQ(fake.files[u"HelloW.txt"], "Hello, World!\r\n");
  EXPECT_EQ(fake.files[u"HelloW.doc"], fake.files[u"HelloW.txt"]);
  ASSERT_EQ(fake.messages.size(), 2u);
  EXPECT_EQ(fake.messages[1].prompt, u"File saved Pastewright run catalog");

  fake.Click(t(2));  // the code page holds these: written in it
  EXPECT_EQ(fake.files[u"中文text.txt"], *fake.ToAnsi(u"中文 text\r\n"));
  fake.Click(t(3));  // it does not hold "ï": nothing is lost in UTF-8
  EXPECT_EQ(fake.files[u"nave.txt"], "\xEF\xBB\xBFna\xC3\xAFve\r\n");
  fake.Click(w(4));
  EXPECT_EQ(fake.files[u".doc"], "!!!!\r\n");
}

TEST_F(ClipListTest, FailedExportSaysWhyAndChangesNothing) {
  CopyAll({u"Hello, World!"});
  fake.fail_next_write = u"Access is denied.";
  fake.Click(t(1));
  ASSERT_EQ(fake.messages.size(), 1u);
  EXPECT_EQ(fake.messages[0].kind, MessageKind::Error);
  EXPECT_EQ(fake.messages[0].prompt,
            u"The file \"HelloW.txt\" could not be saved: Access is denied.");
  EXPECT_EQ(Rows(), Texts{u"Hello, World!"});
  EXPECT_TRUE(fake.files.empty());
}

}  // namespace
}  // namespace pw::test
