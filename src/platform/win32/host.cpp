#include "platform/win32/host.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "platform/win32/dpi.h"
#include "platform/win32/resource.h"

namespace pw::win32 {
namespace {

constexpr DWORD kFixedSingle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;

int ResourceIdOf(IconArt art) {
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

HICON LoadIconOfSize(HINSTANCE instance, int id, int size) {
  return static_cast<HICON>(
      ::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

SizeTwips TwipsOf(int width_px, int height_px, int dpi) {
  return {PixelsToWholeTwips(width_px, dpi), PixelsToWholeTwips(height_px, dpi)};
}

}  // namespace

Win32Host::Win32Host(HINSTANCE instance) : instance_(instance) {
  app_big_.reset(LoadIconOfSize(instance, IDI_APP, ::GetSystemMetrics(SM_CXICON)));
  app_small_.reset(LoadIconOfSize(instance, IDI_APP, ::GetSystemMetrics(SM_CXSMICON)));
  main_ = std::make_unique<MainWindow>(*this);
  preview_ = std::make_unique<FormWindow>(*this, picView, &PreviewLayout(),
                                          FormStyle{kPreviewClass, kFixedSingle, 0});
  about_ = std::make_unique<FormWindow>(
      *this, AboutForm, &AboutLayout(),
      FormStyle{kAboutClass, kFixedSingle, WS_EX_DLGMODALFRAME, true, false});
  overlay_ = std::make_unique<OverlayWindow>(*this);
}

Win32Host::~Win32Host() {
  ReleaseAllScreenDCs();
  overlay_.reset();
  about_.reset();
  preview_.reset();
  main_.reset();
}

bool Win32Host::CreateMainWindow() { return main_->Create(); }

HWND Win32Host::main_window() const { return main_->hwnd(); }

int Win32Host::Run() {
  Show(MainForm);
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  // Whatever ended the loop, no window may outlive the logic it calls into.
  DestroyWindows();
  return static_cast<int>(msg.wParam);
}

// --- finding windows and controls ------------------------------------------

FormWindow* Win32Host::Form(ControlId form) const {
  switch (form.family) {
    case Family::MainForm: return main_.get();
    case Family::picView: return preview_.get();
    case Family::AboutForm: return about_.get();
    case Family::Form2: return overlay_.get();
    default: return nullptr;
  }
}

std::pair<FormWindow*, Control*> Win32Host::Locate(ControlId id) const {
  FormWindow* form = nullptr;
  switch (id.family) {
    case Family::PreviewImage: form = preview_.get(); break;
    case Family::myjs:
    case Family::myjs2:
    case Family::myjs3:
    case Family::mylogo: form = about_.get(); break;
    default: form = main_.get(); break;
  }
  return {form, form->Find(id)};
}

HWND Win32Host::Hwnd(ControlId id) const {
  if (FormWindow* form = Form(id)) return form->hwnd();
  Control* control = Locate(id).second;
  return control ? control->hwnd : nullptr;
}

int Win32Host::DpiOf(ControlId id) const {
  FormWindow* form = Form(id);
  if (!form) form = Locate(id).first;
  return form->hwnd() ? form->dpi() : SystemDpi();
}

// --- Forms: properties -------------------------------------------------------

namespace {
// A button shows "&x" as an underlined x and takes Alt+x as a click; a row's
// caption is a piece of copied text, so its "&" is doubled to show as itself.
bool ShowsAmpersandsLiterally(ControlId id) { return id.family == Family::ClipShow; }

std::u16string DoubleAmpersands(std::u16string_view text) {
  std::u16string out;
  for (char16_t c : text) {
    out += c;
    if (c == u'&') out += u'&';
  }
  return out;
}

std::u16string SingleAmpersands(std::u16string_view text) {
  std::u16string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] == u'&' && i + 1 < text.size() && text[i + 1] == u'&') ++i;
  }
  return out;
}
}  // namespace

void Win32Host::SetCaption(ControlId id, std::u16string_view caption) {
  HWND hwnd = Hwnd(id);
  if (!hwnd) return;
  const std::u16string shown =
      ShowsAmpersandsLiterally(id) ? DoubleAmpersands(caption) : std::u16string(caption);
  ::SetWindowTextW(hwnd, Wide(shown).c_str());
}

std::u16string Win32Host::Caption(ControlId id) const {
  HWND hwnd = Hwnd(id);
  if (!hwnd) return {};
  std::vector<wchar_t> text(static_cast<std::size_t>(::GetWindowTextLengthW(hwnd)) + 1);
  const int n = ::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
  const std::u16string shown = Utf16(text.data(), n > 0 ? static_cast<std::size_t>(n) : 0);
  return ShowsAmpersandsLiterally(id) ? SingleAmpersands(shown) : shown;
}

void Win32Host::SetText(ControlId id, std::u16string_view text) {
  if (HWND hwnd = Hwnd(id)) ::SetWindowTextW(hwnd, TextBoxText(text).c_str());
}

void Win32Host::SetToolTip(ControlId id, std::u16string_view tip) {
  auto [form, control] = Locate(id);
  if (control) form->SetToolTip(*control, tip);
}

void Win32Host::SetVisible(ControlId id, bool visible) {
  if (Form(id)) {
    if (visible) {
      Show(id);
    } else if (HWND hwnd = Hwnd(id)) {
      ::ShowWindow(hwnd, SW_HIDE);
    }
    return;
  }
  if (HWND hwnd = Hwnd(id)) ::ShowWindow(hwnd, visible ? SW_SHOWNA : SW_HIDE);
}

bool Win32Host::Visible(ControlId id) const {
  // The control's own flag: a row stays "visible" while its window is in the tray.
  HWND hwnd = Hwnd(id);
  return hwnd && (::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32Host::SetEnabled(ControlId id, bool enabled) {
  if (HWND hwnd = Hwnd(id)) ::EnableWindow(hwnd, enabled ? TRUE : FALSE);
}

void Win32Host::SetChecked(ControlId id, bool checked) {
  if (HWND hwnd = Hwnd(id)) ::SendMessageW(hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Win32Host::SetPicture(ControlId id, Picture picture) {
  Control* control = Locate(id).second;
  if (control && control->box) control->box->SetPicture(std::move(picture));
}

Picture Win32Host::GetPicture(ControlId id) const {
  Control* control = Locate(id).second;
  return control && control->box ? control->box->picture() : Picture();
}

void Win32Host::SetStretch(ControlId id, bool stretch) {
  Control* control = Locate(id).second;
  if (control && control->box) control->box->SetStretch(stretch);
}

SizeTwips Win32Host::Size(ControlId id) const {
  HWND hwnd = Hwnd(id);
  RECT r{};
  if (!hwnd || !::GetWindowRect(hwnd, &r)) return {};
  return TwipsOf(r.right - r.left, r.bottom - r.top, DpiOf(id));
}

SizeTwips Win32Host::ClientSize(ControlId form) const {
  HWND hwnd = Hwnd(form);
  RECT r{};
  if (!hwnd || !::GetClientRect(hwnd, &r)) return {};
  return TwipsOf(r.right, r.bottom, DpiOf(form));
}

void Win32Host::Move(ControlId form, std::int32_t left, std::int32_t top) {
  HWND hwnd = Form(form) ? Hwnd(form) : nullptr;
  if (!hwnd) return;
  // Screen coordinates: the primary screen's resolution.
  const int dpi = SystemDpi();
  ::SetWindowPos(hwnd, nullptr, TwipsToPixels(left, dpi), TwipsToPixels(top, dpi), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

WindowHandle Win32Host::Handle(ControlId id) const {
  return reinterpret_cast<WindowHandle>(Hwnd(id));
}

// --- Forms: loading and unloading ------------------------------------------

bool Win32Host::Loaded(ControlId form) const {
  FormWindow* f = Form(form);
  return f && f->loaded();
}

void Win32Host::Show(ControlId form) {
  FormWindow* f = Form(form);
  if (!f) return;
  if (!f->loaded()) {
    if (!f->Create()) return;
    f->set_loaded(true);
    if (events_) events_->Load(form);
    // The load handler may have unloaded it again.
    if (!f->loaded() || !f->hwnd()) return;
  }
  ::ShowWindow(f->hwnd(), SW_SHOW);
  f->AttachToolTips();
  ::SetForegroundWindow(f->hwnd());
}

void Win32Host::Unload(ControlId form) {
  if (FormWindow* f = Form(form)) Close(*f, false);
}

void Win32Host::UserClosed(ControlId form) {
  if (FormWindow* f = Form(form)) Close(*f, true);
}

void Win32Host::Close(FormWindow& form, bool ask_first) {
  if (form.closing) return;
  if (form.loaded() && events_) {
    form.closing = true;
    if (ask_first) events_->QueryUnload(form.id());
    events_->Unload(form.id());
    form.closing = false;
  }
  form.set_loaded(false);
  form.Destroy();
}

void Win32Host::EndProgram() {
  DestroyWindows();
  ::PostQuitMessage(0);
}

void Win32Host::DestroyWindows() {
  ReleaseAllScreenDCs();
  for (FormWindow* form : {static_cast<FormWindow*>(overlay_.get()), preview_.get(), about_.get(),
                           static_cast<FormWindow*>(main_.get())}) {
    form->set_loaded(false);
    form->Destroy();
  }
  owner_.reset();
}

void Win32Host::DoEvents() {
  // Bounded, so a window that keeps posting to itself cannot hold us here.
  MSG msg;
  for (int n = 0; n < 10000 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++n) {
    if (msg.message == WM_QUIT) {
      // The message loop must still see it.
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

// --- Forms: the region overlay ---------------------------------------------

void Win32Host::ShowOverlay(ControlId form, Picture frozen) {
  if (form != Form2 || !overlay_->Create()) return;
  overlay_->set_loaded(true);
  overlay_->SetFrozen(frozen);
  ::ShowWindow(overlay_->hwnd(), SW_SHOW);
  ::SetForegroundWindow(overlay_->hwnd());
  ::UpdateWindow(overlay_->hwnd());
}

void Win32Host::DrawOutline(ControlId form, float x1, float y1, float x2, float y2) {
  if (form != Form2 || !overlay_->hwnd()) return;
  const float per_pixel = TwipsPerPixel(overlay_->dpi());
  auto px = [per_pixel](float twips) { return static_cast<LONG>(std::lround(twips / per_pixel)); };
  overlay_->DrawOutline(POINT{px(x1), px(y1)}, POINT{px(x2), px(y2)});
}

void Win32Host::ClearOutline(ControlId form) {
  if (form == Form2) overlay_->ClearOutline();
}

// --- events to the logic -----------------------------------------------------

void Win32Host::Clicked(ControlId control) {
  if (events_) events_->Click(control);
}

void Win32Host::MouseMoved(ControlId control, const MouseArgs& args) {
  if (events_) events_->MouseMove(control, args);
}

void Win32Host::MouseDown(ControlId control, const MouseArgs& args) {
  if (events_) events_->MouseDown(control, args);
}

void Win32Host::TrayNotified(UINT mouse_message) {
  if (events_) events_->TrayNotify(mouse_message);
}

void Win32Host::TaskbarCreated() {
  if (events_) events_->TaskbarCreated();
}

// --- Dialogs and AppInfo -----------------------------------------------------

void Win32Host::MessageBox(std::u16string_view prompt, MessageKind kind) {
  // Owned by the top-most main window the box stays above it; with the window
  // in the tray it has no owner and comes to the front itself.
  HWND main = main_->hwnd();
  HWND owner = main && ::IsWindowVisible(main) ? main : nullptr;
  UINT type = MB_OK | (kind == MessageKind::Error ? MB_ICONERROR : 0u);
  if (!owner) type |= MB_SETFOREGROUND;
  ::MessageBoxW(owner, Wide(prompt).c_str(), Wide(Title()).c_str(), type);
}

std::u16string Win32Host::Title() const { return u"Pastewright"; }

Version Win32Host::ProgramVersion() const {
  // VS_FIXEDFILEINFO is found by its signature inside our VERSIONINFO
  // resource; version.dll is not needed for our own file.
  Version v;
  HRSRC info = ::FindResourceW(nullptr, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
  HGLOBAL loaded = info ? ::LoadResource(nullptr, info) : nullptr;
  const auto* bytes = loaded ? static_cast<const unsigned char*>(::LockResource(loaded)) : nullptr;
  const DWORD size = info ? ::SizeofResource(nullptr, info) : 0;
  if (!bytes) return v;
  for (DWORD at = 0; at + sizeof(VS_FIXEDFILEINFO) <= size; at += 4) {
    VS_FIXEDFILEINFO fixed;
    std::memcpy(&fixed, bytes + at, sizeof(fixed));
    if (fixed.dwSignature != VS_FFI_SIGNATURE) continue;
    v.major = HIWORD(fixed.dwFileVersionMS);
    v.minor = LOWORD(fixed.dwFileVersionMS);
    v.revision = HIWORD(fixed.dwFileVersionLS);
    break;
  }
  return v;
}

ScreenMetrics Win32Host::Screen() const {
  const int dpi = SystemDpi();
  ScreenMetrics m;
  m.width_twips = PixelsToWholeTwips(::GetSystemMetrics(SM_CXSCREEN), dpi);
  m.height_twips = PixelsToWholeTwips(::GetSystemMetrics(SM_CYSCREEN), dpi);
  m.twips_per_pixel_x = m.twips_per_pixel_y = TwipsPerPixel(dpi);
  return m;
}

// --- resources ---------------------------------------------------------------

HICON Win32Host::Icon(IconArt art, int size) {
  const auto key = std::make_pair(art, size);
  auto it = icons_.find(key);
  if (it == icons_.end()) {
    const int id = ResourceIdOf(art);
    it = icons_.emplace(key, UniqueIcon(id ? LoadIconOfSize(instance_, id, size) : nullptr)).first;
  }
  return it->second.get();
}

Picture Win32Host::ResourcePicture(int id) {
  auto it = resource_pictures_.find(id);
  if (it != resource_pictures_.end()) return it->second;
  Picture picture;
  UniqueBitmap bitmap(static_cast<HBITMAP>(
      ::LoadImageW(instance_, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  BITMAP bm{};
  if (bitmap && ::GetObjectW(bitmap.get(), sizeof(bm), &bm) && bm.bmWidth > 0 && bm.bmHeight > 0) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(bm.bmWidth) * bm.bmHeight);
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    if (dc && ::GetDIBits(dc.get(), bitmap.get(), 0, static_cast<UINT>(bm.bmHeight), pixels.data(),
                          &info, DIB_RGB_COLORS) == bm.bmHeight) {
      for (std::uint32_t& p : pixels) p |= 0xFF000000u;
      picture = Picture::FromPixels(bm.bmWidth, bm.bmHeight, std::move(pixels));
    }
  }
  resource_pictures_[id] = picture;
  return picture;
}

HWND Win32Host::HiddenOwner() {
  if (!owner_) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &::DefWindowProcW;
    wc.hInstance = instance_;
    wc.lpszClassName = kOwnerClass;
    ::RegisterClassExW(&wc);
    owner_.reset(::CreateWindowExW(0, kOwnerClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                   instance_, nullptr));
  }
  return owner_.get();
}

}  // namespace pw::win32
