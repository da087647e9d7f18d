// Text rows: removal, the row click, the hover preview, export.
#include "app_test.h"
#include "cliplist/text_export.h"

namespace pw::test {
namespace {

TEST_F(AppTest, DeleteAndEmptyAllAskNothingAndTheListNamesItsPanelShort) {
  fake.CopyPicture(MakePicture());
  CopyAll({u"A1", u"B2"});
  EXPECT_EQ(fake.view.panel_caption, u"Control Panel");
  app.Clicked(Control(Role::RowDelete, 0));
  EXPECT_EQ(fake.view.panel_caption, CtrlPanelTitle);
  EXPECT_EQ(fake.clip_text, u"B2");
  app.Clicked(Control(Role::EmptyAll));
  EXPECT_TRUE(Captions().empty());
  EXPECT_FALSE(fake.clip_text.has_value());
  EXPECT_EQ(Slots().size(), 1u);
  EXPECT_TRUE(fake.boxes.empty());
}

TEST_F(AppTest, RowClickShowsTheBoxThenPutsTheClipBackAsTheNewest) {
  CopyAll({u"AA", u"BB", u"CC"});
  fake.ShowTextPreview(1, u"showing");
  const std::size_t mark = fake.log.size();
  Strings seen_during_box;
  fake.on_box = [&](std::u16string_view) { seen_during_box = Texts(); };
  app.Clicked(Control(Role::Row, 1));
  EXPECT_EQ(std::vector<std::string>(fake.log.begin() + mark, fake.log.end()),
            (std::vector<std::string>{"preview-text-off", "box:" + ToUtf8(MsgReadyPaste), "clear",
                                      "put:BB"}));
  EXPECT_EQ(seen_during_box, (Strings{u"AA", u"BB", u"CC"}));
  EXPECT_EQ(Captions(), (Strings{u"AA", u"CC", u"BB"}));

  // A clipboard held by another program keeps the clicked text, as the newest.
  fake.on_box = [&](std::u16string_view) { fake.locked = true; };
  app.Clicked(Control(Role::Row, 0));
  EXPECT_EQ(Texts(), (Strings{u"CC", u"BB", u"AA"}));
  EXPECT_TRUE(fake.log.back().starts_with("error:"));
}

TEST_F(AppTest, ClickedClipIsFoundAgainWhereverCopiesWhileTheBoxIsOpenMovedIt) {
  const Strings ten{u"t0", u"t1", u"t2", u"t3", u"t4", u"t5", u"t6", u"t7", u"t8", u"t9"};
  const struct {
    const char* what;
    Strings before;
    int clicked;
    Strings copied_during_box, after;
  } cases[] = {
      {"appended behind", {u"a1", u"b2", u"c3"}, 1, {u"new"}, {u"a1", u"c3", u"new", u"b2"}},
      {"equal texts are different clips", {u"same", u"xx", u"same"}, 2, {}, {u"same", u"xx", u"same"}},
      {"full store shifted under the click", ten, 4, {u"n1"},
       {u"t1", u"t2", u"t3", u"t5", u"t6", u"t7", u"t8", u"t9", u"n1", u"t4"}},
      {"clicked clip dropped meanwhile: nothing else removed", ten, 0, {u"n1"},
       {u"t2", u"t3", u"t4", u"t5", u"t6", u"t7", u"t8", u"t9", u"n1", u"t0"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    app.Clicked(Control(Role::EmptyAll));
    CopyAll(c.before);
    fake.on_box = [&](std::u16string_view) { CopyAll(c.copied_during_box); };
    app.Clicked(Control(Role::Row, c.clicked));
    EXPECT_EQ(Texts(), c.after);
  }
}

TEST_F(AppTest, PointingAtARowPreviewsItsTextUntilThePointerLeavesIt) {
  CopyAll({u"   abc", std::u16string(100, u'x')});
  const SizeTwips size{1935, 325};
  const std::pair<PointTwips, bool> cases[] = {
      {{0, 0}, true},     {{1935, 325}, true},    {{967, 160}, true},  {{-1, 100}, false},
      {{100, -0.5f}, false}, {{1936, 100}, false}, {{100, 326}, false}};
  for (const auto& [at, inside] : cases) {
    app.PointerMoved(Control(Role::Row, 0), at, size);
    EXPECT_EQ(fake.text_preview.value_or(u"none"), inside ? u"abc... ..." : u"none")
        << at.x << ", " << at.y;
  }
  app.PointerMoved(Control(Role::Row, 1), {5, 5}, size);
  EXPECT_EQ(fake.text_preview, std::u16string(80, u'x') + u"... ...");
}

TEST_F(AppTest, ExportNameKeepsAsciiLettersDigitsAndDoubleByteCharactersOnly) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"Hello, W", u"HelloW"}, {u"a-b_c 9!", u"abc9"},  {u"中文 ok", u"中文ok"},
      {u"é ß ü", u""},          {u"  \t\r\n", u""},      {u"con", u"con_"},
      {u"Com7", u"Com7_"},      {u"COM0", u"COM0"},      {u"nul.x", u"nulx"},
  };
  for (const auto& [caption, base] : cases) {
    EXPECT_EQ(ExportBaseName(fake, caption), base) << ToUtf8(caption);
  }
}

TEST_F(AppTest, ExportWritesNewFilesAndNeverReplacesOne) {
  CopyAll({u"Hello, World!", u"中文 text"});
  fake.files[u"HelloW.doc"] = "the user's own file";
  for (Role role : {Role::RowTxt, Role::RowTxt, Role::RowTxt, Role::RowDoc}) {
    app.Clicked(Control(role, 0));
  }
  app.Clicked(Control(Role::RowDoc, 1));
  const std::string hello = "Hello, World!\r\n";
  const std::map<std::u16string, std::string> files{
      {u"HelloW.txt", hello}, {u"HelloW(2).txt", hello}, {u"HelloW(3).txt", hello},
      {u"HelloW.doc", "the user's own file"}, {u"HelloW(2).doc", hello},
      {u"中文text.doc", "\xEF\xBB\xBF" + ToUtf8(u"中文 text\r\n")}};
  EXPECT_EQ(fake.files, files);
  const std::u16string saved(MsgFileSaved);
  EXPECT_EQ(fake.boxes, (Strings{saved, saved + u"\nHelloW(2).txt", saved + u"\nHelloW(3).txt",
                                 saved + u"\nHelloW(2).doc", saved}));

  fake.fail_writes = u"Access is denied.";
  app.Clicked(Control(Role::RowTxt, 0));
  EXPECT_EQ(fake.boxes.back(), u"The file \"HelloW.txt\" could not be saved: Access is denied.");
}

}  // namespace
}  // namespace pw::test
