// What the change handler stores, and the store's rules under random use.
#include <random>

#include "app_test.h"

namespace pw::test {
namespace {

TEST_F(AppTest, TextRulesDecideWhatIsStoredAndWhatTheRowShows) {
  const struct {
    const char* what;
    Strings copies, texts, captions;  // texts: held afterwards, oldest first
  } cases[] = {
      {"caption is eight characters", {u"Hello, world"}, {u"Hello, world"}, {u"Hello, w"}},
      {"one character is ignored", {u"x", u"ab"}, {u"ab"}, {u"ab"}},
      {"leading spaces of the eight go", {u"   abcdefghij"}, {u"   abcdefghij"}, {u"abcde"}},
      {"tabs and line breaks stay", {u"\ta\r\nbc"}, {u"\ta\r\nbc"}, {u"\ta\r\nbc"}},
      {"eight spaces give an empty caption but a row",
       {u"        x", u"next"}, {u"        x", u"next"}, {u"", u"next"}},
      {"no duplicate test", {u"same", u"same"}, {u"same", u"same"}, {u"same", u"same"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    app.Clicked(Control(Role::EmptyAll));
    CopyAll(c.copies);
    EXPECT_EQ(Texts(), c.texts);
    EXPECT_EQ(Captions(), c.captions);
  }
}

// Spare capacity would keep a huge text in memory after it left the store.
TEST_F(AppTest, ADroppedOrRemovedTextGivesItsMemoryBack) {
  const std::u16string huge(1 << 20, u'x');
  auto held = [&] {
    std::size_t bytes = app.store().PasteText.capacity();
    for (const TextClip& clip : app.store().ClipText) bytes += clip.text.capacity();
    return bytes;
  };
  CopyAll(Strings(kTextSlots, huge));
  app.Clicked(Control(Role::RowDelete, 0));
  app.Clicked(Control(Role::Row, 0));
  EXPECT_LT(held(), kTextSlots * huge.size());  // nine held
  CopyAll(Strings(kTextSlots, u"small"));
  EXPECT_LT(held(), huge.size());
  fake.CopyText(huge);
  app.Clicked(Control(Role::EmptyAll));
  EXPECT_LT(held(), huge.size());
}

TEST_F(AppTest, FormattedVersionsComeBackWithTheirTextUnlessTooLarge) {
  const RichText rich{"<p><b>bold</b></p>", "{\\rtf1 bold}"};
  fake.Copy(u"bold", {}, rich);
  fake.Copy(u"huge", {}, RichText{std::string(kMaxRichTextBytes, 'h'), "r"});
  app.Clicked(Control(Role::Row, 0));
  EXPECT_EQ(fake.clip_rich, rich);
  app.Clicked(Control(Role::Row, 0));
  EXPECT_EQ(fake.clip_rich, RichText());  // too large: the text alone
}

TEST_F(AppTest, NothingIsStoredFromALockedOrWithheldClipboardOrBesideAText) {
  fake.Copy(u"y", MakePicture());  // text wins over a picture, and one character is no text
  fake.locked = true;
  fake.Copy(u"locked text", MakePicture());
  fake.locked = false, fake.withheld = true;
  fake.Copy(u"secret", MakePicture());
  fake.Copy(std::nullopt, MakePicture());
  fake.withheld = false;
  fake.Copy(u"text", MakePicture());
  EXPECT_EQ(Texts(), Strings{u"text"});
  EXPECT_TRUE(Slots().empty());
}

// Every user action and outside copy, in random order, against a model that
// knows each clip by identity.
TEST_F(AppTest, RandomSessionsKeepTheStoreAsAModelSaysItMustBe) {
  struct Clip {
    std::u16string text;
    RichText rich;  // must travel with its text wherever the text goes
    int id;
  };
  std::vector<Clip> texts;
  std::vector<Picture> pictures;
  int next_id = 0;
  auto model_text = [&](const std::u16string& text, const RichText& rich) {
    if (texts.size() == kTextSlots) texts.erase(texts.begin());
    texts.push_back({text, rich, next_id++});
  };
  auto model_picture = [&](const Picture& p) {
    if (pictures.size() == kPictureSlots) pictures.erase(pictures.begin());
    pictures.push_back(p);
  };
  std::mt19937 rng(20261207);
  auto outside_copy = [&] {
    if (rng() % 3 == 0) {
      model_picture(MakePicture());
      fake.CopyPicture(pictures.back());
    } else {
      const std::u16string t(rng() % 4, char16_t(u'a' + rng() % 3));
      RichText rich;
      if (rng() % 2) rich = {"<b>" + std::to_string(next_id) + "</b>", rng() % 2 ? "{\\rtf1}" : ""};
      fake.Copy(t, {}, rich);
      if (t.size() >= 2) model_text(t, rich);
    }
  };
  for (int step = 0; step < 4000; ++step) {
    const int slot = static_cast<int>(rng() % kTextSlots);
    const int n = 1 + static_cast<int>(rng() % kPictureSlots);
    switch (rng() % 7) {
      case 0:
      case 1: outside_copy(); break;
      case 2:
        app.Clicked(Control(Role::RowDelete, slot));
        if (slot < static_cast<int>(texts.size())) texts.erase(texts.begin() + slot);
        break;
      case 3:
        app.Clicked(Control(Role::PictureDelete, n));
        if (n <= static_cast<int>(pictures.size())) pictures.erase(pictures.begin() + n - 1);
        break;
      case 4: {
        if (slot >= static_cast<int>(texts.size())) break;
        const Clip clicked = texts[slot];
        fake.on_box = [&](std::u16string_view) {
          for (int k = static_cast<int>(rng() % 3); k > 0; --k) outside_copy();
        };
        app.Clicked(Control(Role::Row, slot));
        fake.on_box = nullptr;
        std::erase_if(texts, [&](const Clip& c) { return c.id == clicked.id; });
        model_text(clicked.text, clicked.rich);
        break;
      }
      case 5: {
        if (n > static_cast<int>(pictures.size())) break;
        const Picture clicked = pictures[n - 1];
        app.Clicked(Control(Role::Thumbnail, n));
        pictures.erase(pictures.begin() + n - 1);
        model_picture(clicked);
        break;
      }
      case 6:
        if (rng() % 10 == 0) {
          app.Clicked(Control(Role::EmptyAll));
          texts.clear();
        }
        break;
    }
    SCOPED_TRACE(testing::Message() << "step " << step);
    ASSERT_EQ(Slots(), pictures);
    ASSERT_EQ(Captions().size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
      ASSERT_EQ(app.store().ClipText[i].text, texts[i].text);
      ASSERT_EQ(app.store().ClipText[i].rich, texts[i].rich);
      ASSERT_EQ(fake.view.rows[i].caption, RowPreview(texts[i].text));
    }
  }
}

}  // namespace
}  // namespace pw::test
