// The clip store: the program's whole memory of the clipboard.
//
// Texts live here; their row captions live on the row buttons, and the
// pictures live in the thumbnails simg1-simg5, each in one place only.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/host.h"

namespace pw {

struct ClipStore {
  // Slots 0..ClipCount-1 are occupied, oldest first, with no gaps.
  std::array<std::u16string, kTextSlots> ClipText;
  std::int16_t ClipCount = 0;
  // Who each text is: equal texts are still different clips, and a clip is
  // found again by this number after the store has moved under a row click.
  std::array<std::uint32_t, kTextSlots> ClipSerial{};
  std::uint32_t NextSerial = 1;

  std::u16string PasteText;   // the text a row click puts back
  Picture Picture2;           // the picture a thumbnail click puts back
  std::int16_t PreviewSlot = 0;

  std::u16string CtrlPanelTitle;
  std::u16string MsgReadyPaste;
  std::u16string MsgFileSaved;

  // Half the main window's border width in twips, measured at start-up.
  std::int16_t BorderInset = 0;
};

// The first `count` characters of `text` without their leading spaces
// (U+0020 only); the rest of the text is never looked at.
std::u16string HeadWithoutLeadingSpaces(std::u16string_view text, std::size_t count);

// A row button's caption: the first eight characters, leading spaces removed.
std::u16string RowPreview(std::u16string_view text);

// Picture slots, numbered 1-5, held by the thumbnails.
inline Picture PictureSlot(const Forms& forms, int n) { return forms.GetPicture(simg(n)); }
inline bool PictureSlotOccupied(const Forms& forms, int n) { return !PictureSlot(forms, n).empty(); }

// Tells the user whether a file was written: "File saved ..." or why not.
void ReportFileSaved(Dialogs& dialogs, const ClipStore& store, std::u16string_view name,
                     const FileResult& result);

// Shows or hides the three buttons of picture slot n, in the order sav, dpic, pv.
void SetPictureButtonsVisible(Forms& forms, int n, bool visible);

}  // namespace pw
