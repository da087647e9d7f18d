// The clip store: the program's whole memory of the clipboard.
//
// It owns every text and picture; the main window only shows what ViewOf
// derives from it, so a row always shows its own text's caption.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/host.h"

namespace pw {

inline constexpr std::u16string_view CtrlPanelTitle = u"Ctrl Panel";
inline constexpr std::u16string_view MsgReadyPaste = u"Content Ready Paste OK";
inline constexpr std::u16string_view MsgFileSaved = u"File saved Pastewright run catalog";

// A text and who it is: equal texts are still different clips, and a row
// click finds its clip again by serial after the store has moved.
struct TextClip {
  std::u16string text;
  RichText rich;
  std::uint32_t serial = 0;
};

struct ClipStore {
  // Slots 0..ClipCount-1 hold texts, oldest first, with no gaps.
  std::array<TextClip, kTextSlots> ClipText;
  std::int16_t ClipCount = 0;
  std::uint32_t next_serial = 1;
  // pictures[n - 1] is picture slot n; slots 1..PictureCount() are held.
  std::array<Picture, kPictureSlots> pictures;

  std::u16string PasteText;   // the text a row click puts back
  RichText PasteRich;         // and its formatted versions
  Picture Picture2;           // the picture a thumbnail click puts back
  std::int16_t PreviewSlot = 0;
  // The control panel says "Control Panel" until the list first changes.
  std::u16string_view panel_caption = u"Control Panel";

  int PictureCount() const;
  const Picture& PictureSlot(int n) const { return pictures[static_cast<std::size_t>(n - 1)]; }
};

// The first `count` characters of `text` without their leading spaces
// (U+0020 only); the rest of the text is never looked at.
std::u16string HeadWithoutLeadingSpaces(std::u16string_view text, std::size_t count);

// A row's caption: the first eight characters, leading spaces removed.
std::u16string RowPreview(std::u16string_view text);

// What the main window shows of the store.
WindowView ViewOf(const ClipStore& store);

// `text` becomes the newest text, with its formatted versions unless they
// are too large to keep; a full store drops its oldest.
void StoreText(ClipStore& store, std::u16string text, RichText rich = {});
// The picture goes into the lowest empty slot; with all five held, slot 1
// is dropped and the others move down one slot. An empty picture is no
// picture, and one already held (our own, read back late) is there already:
// either changes nothing.
void StorePicture(ClipStore& store, Picture picture);

// Empties a text and gives its memory back: clear() would keep it as
// capacity, and a huge text would stay in memory after it was removed.
void Release(std::u16string& text);
void Release(TextClip& clip);

}  // namespace pw
