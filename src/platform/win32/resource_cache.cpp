#include "platform/win32/resource_cache.h"

#include <cassert>

#include "platform/win32/resource.h"
#include "platform/win32/surface.h"
#include "platform/win32/window.h"

namespace pw::win32 {
namespace {

HICON LoadIconOfSize(int id, int size) {
  return static_cast<HICON>(
      ::LoadImageW(ThisModule(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

int ResourceIdOf(IconArt art) {
  assert(art != IconArt::None && "a control without icon art asked for its icon");
  switch (art) {
    case IconArt::TextFile: return IDI_TEXTFILE;
    case IconArt::Document: return IDI_DOCUMENT;
    case IconArt::Delete: return IDI_DELETE;
    case IconArt::Save: return IDI_SAVE;
    case IconArt::Preview: return IDI_PREVIEW;
    case IconArt::None: break;
  }
  return 0;
}

}  // namespace

ResourceCache::ResourceCache()
    : app_big_(LoadIconOfSize(IDI_APP, ::GetSystemMetrics(SM_CXICON))),
      app_small_(LoadIconOfSize(IDI_APP, ::GetSystemMetrics(SM_CXSMICON))) {}

HICON ResourceCache::Icon(IconArt art, int size) {
  auto [it, added] = icons_.try_emplace({art, size});
  if (added) it->second.reset(LoadIconOfSize(ResourceIdOf(art), size));
  return it->second.get();
}

HICON ResourceCache::BlankIcon() {
  if (!blank_) {
    // One pixel whose mask leaves the background as it was.
    const BYTE and_mask[4] = {0xFF, 0xFF, 0xFF, 0xFF}, xor_mask[4] = {};
    blank_.reset(::CreateIcon(ThisModule(), 1, 1, 1, 1, and_mask, xor_mask));
  }
  return blank_.get();
}

Picture ResourceCache::Bitmap(int id) {
  auto [it, added] = bitmaps_.try_emplace(id);
  if (added) {
    UniqueBitmap bitmap(static_cast<HBITMAP>(
        ::LoadImageW(ThisModule(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    it->second = PictureOfBitmap(bitmap.get());
  }
  return it->second;
}

}  // namespace pw::win32
