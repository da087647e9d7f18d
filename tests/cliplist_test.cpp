// Text rows: removal, the row click, the hover preview, export.
#include "app_test.h"
#include "cliplist/text_export.h"

namespace pw::test {
namespace {

using Strings = std::vector<std::u16string>;

TEST_F(AppTest, DeleteAndEmptyAllAskNothingAndTheListNamesItsPanelShort) {
  fake.CopyPicture(MakePicture());
  CopyAll({u"A1", u"B2", u"C3", u"D4", u"E5", u"F6", u"G7", u"H8", u"I9", u"J10"});
  EXPECT_EQ(fake.view.panel_caption, u"Control Panel");
  app.Clicked(Control(Role::RowDelete, 3));
  EXPECT_EQ(Captions(), (Strings{u"A1", u"B2", u"C3", u"E5", u"F6", u"G7", u"H8", u"I9", u"J10"}));
  EXPECT_EQ(fake.view.panel_caption, CtrlPanelTitle);
  EXPECT_EQ(fake.clip_text, u"J10");
  app.Clicked(Control(Role::RowDelete, 9));  // past the last text: nothing goes
  EXPECT_EQ(Captions().size(), 9u);
  app.Clicked(Control(Role::EmptyAll));
  EXPECT_TRUE(Captions().empty());
  EXPECT_FALSE(fake.clip_text.has_value());
  EXPECT_EQ(Slots().size(), 1u);
  EXPECT_TRUE(fake.boxes.empty());
}

TEST_F(AppTest, RowClickShowsTheBoxThenPutsTheClipBackAsTheNewest) {
  CopyAll({u"AA", u"BB", u"CC", u"DD", u"EE"});
  fake.ShowTextPreview(2, u"showing");
  const std::size_t mark = fake.log.size();
  Strings seen_during_box;
  fake.on_box = [&](std::u16string_view) { seen_during_box = Texts(); };
  app.Clicked(Control(Role::Row, 2));
  EXPECT_EQ(std::vector<std::string>(fake.log.begin() + mark, fake.log.end()),
            (std::vector<std::string>{"preview-text-off", "box:" + ToUtf8(MsgReadyPaste), "clear",
                                      "put:CC"}));
  EXPECT_EQ(seen_during_box, (Strings{u"AA", u"BB", u"CC", u"DD", u"EE"}));
  EXPECT_EQ(Captions(), (Strings{u"AA", u"BB", u"DD", u"EE", u"CC"}));
  EXPECT_EQ(fake.clip_text, u"CC");
  EXPECT_TRUE(app.store().PasteText.empty());  // released once the click is done

  // The only row comes back as the only row.
  app.Clicked(Control(Role::EmptyAll));
  fake.CopyText(u"only");
  app.Clicked(Control(Role::Row, 0));
  EXPECT_EQ(Captions(), Strings{u"only"});
}

TEST_F(AppTest, ClickedClipIsFoundAgainWhereverCopiesWhileTheBoxIsOpenMovedIt) {
  struct Case {
    const char* what;
    Strings before;
    int clicked;
    Strings copied_during_box;
    Strings after;
  };
  const Case cases[] = {
      {"appended behind", {u"a1", u"b2", u"c3"}, 1, {u"new"}, {u"a1", u"c3", u"new", u"b2"}},
      {"equal texts are different clips", {u"same", u"xx", u"same"}, 2, {}, {u"same", u"xx", u"same"}},
      {"full store shifted under the click",
       {u"t0", u"t1", u"t2", u"t3", u"t4", u"t5", u"t6", u"t7", u"t8", u"t9"}, 4, {u"n1"},
       {u"t1", u"t2", u"t3", u"t5", u"t6", u"t7", u"t8", u"t9", u"n1", u"t4"}},
      {"clicked clip dropped meanwhile: nothing else removed",
       {u"t0", u"t1", u"t2", u"t3", u"t4", u"t5", u"t6", u"t7", u"t8", u"t9"}, 0, {u"n1"},
       {u"t2", u"t3", u"t4", u"t5", u"t6", u"t7", u"t8", u"t9", u"n1", u"t0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    app.Clicked(Control(Role::EmptyAll));
    for (const auto& t : c.before) fake.CopyText(t);
    fake.on_box = [&](std::u16string_view) {
      for (const auto& t : c.copied_during_box) fake.CopyText(t);
    };
    app.Clicked(Control(Role::Row, c.clicked));
    fake.on_box = nullptr;
    EXPECT_EQ(Texts(), c.after);
  }
}

TEST_F(AppTest, AClipboardHeldByAnotherProgramDoesNotLoseTheClickedText) {
  CopyAll({u"keep me", u"other"});
  fake.on_box = [&](std::u16string_view) { fake.locked = true; };
  app.Clicked(Control(Role::Row, 0));
  EXPECT_EQ(Texts(), (Strings{u"other", u"keep me"}));
  ASSERT_EQ(fake.boxes.size(), 2u);
  EXPECT_NE(fake.boxes[1].find(u"kept as the newest row"), std::u16string::npos);
}

TEST_F(AppTest, PointingAtARowPreviewsItsTextUntilThePointerLeavesIt) {
  CopyAll({u"   abc", std::u16string(100, u'x')});
  const SizeTwips size{1935, 325};
  struct Case {
    PointTwips at;
    bool inside;
  };
  const Case cases[] = {{{0, 0}, true},     {{1935, 325}, true}, {{967, 160}, true},
                        {{-1, 100}, false}, {{100, -0.5f}, false}, {{1936, 100}, false},
                        {{100, 326}, false}};
  for (const Case& c : cases) {
    app.PointerMoved(Control(Role::Row, 0), c.at, size);
    EXPECT_EQ(fake.text_preview.has_value(), c.inside) << c.at.x << ", " << c.at.y;
    if (c.inside) {
      EXPECT_EQ(*fake.text_preview, u"abc... ...");
    }
  }
  app.PointerMoved(Control(Role::Row, 1), {5, 5}, size);
  EXPECT_EQ(*fake.text_preview, std::u16string(80, u'x') + u"... ...");
  // Hiding to the tray takes the preview along.
  app.Clicked(Control(Role::Hide));
  EXPECT_FALSE(fake.text_preview.has_value());
}

TEST(ExportName, KeepsAsciiLettersDigitsAndDoubleByteCharactersOnly) {
  FakeHost host;
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"Hello, W", u"HelloW"}, {u"a-b_c 9!", u"abc9"},  {u"中文 ok", u"中文ok"},
      {u"é ß ü", u""},          {u"  \t\r\n", u""},      {u"con", u"con_"},
      {u"Com7", u"Com7_"},      {u"COM0", u"COM0"},      {u"nul.x", u"nulx"},
  };
  for (const auto& [caption, base] : cases) {
    EXPECT_EQ(ExportBaseName(host, caption), base) << ToUtf8(caption);
  }
}

TEST_F(AppTest, ExportWritesNewFilesAndNeverReplacesOne) {
  CopyAll({u"Hello, World!", u"中文 text"});
  fake.files[u"HelloW.doc"] = "the user's own file";
  app.Clicked(Control(Role::RowTxt, 0));
  app.Clicked(Control(Role::RowTxt, 0));
  app.Clicked(Control(Role::RowTxt, 0));
  app.Clicked(Control(Role::RowDoc, 0));
  app.Clicked(Control(Role::RowDoc, 1));
  EXPECT_EQ(fake.files[u"HelloW.txt"], "Hello, World!\r\n");
  EXPECT_EQ(fake.files[u"HelloW(2).txt"], "Hello, World!\r\n");
  EXPECT_EQ(fake.files[u"HelloW(3).txt"], "Hello, World!\r\n");
  EXPECT_EQ(fake.files[u"HelloW.doc"], "the user's own file");
  EXPECT_EQ(fake.files[u"HelloW(2).doc"], "Hello, World!\r\n");
  EXPECT_EQ(fake.files[u"中文text.doc"], "\xEF\xBB\xBF" + ToUtf8(u"中文 text\r\n"));
  const std::u16string saved(MsgFileSaved);
  EXPECT_EQ(fake.boxes, (Strings{saved, saved + u"\nHelloW(2).txt", saved + u"\nHelloW(3).txt",
                                 saved + u"\nHelloW(2).doc", saved}));

  fake.fail_writes = u"Access is denied.";
  app.Clicked(Control(Role::RowTxt, 0));
  EXPECT_EQ(fake.boxes.back(), u"The file \"HelloW.txt\" could not be saved: Access is denied.");
  EXPECT_EQ(Texts(), (Strings{u"Hello, World!", u"中文 text"}));
}

}  // namespace
}  // namespace pw::test
