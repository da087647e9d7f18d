#include "cliplist/text_export.h"

#include <array>

#include "app/saved_file.h"
#include "platform/text.h"

namespace pw {

namespace {

bool IsReservedDeviceName(std::u16string_view name) {
  auto upper = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c; };
  std::u16string u;
  for (char16_t c : name) u += upper(c);
  static constexpr std::array<std::u16string_view, 4> kPlain{u"CON", u"PRN", u"AUX", u"NUL"};
  for (auto device : kPlain) {
    if (u == device) return true;
  }
  return u.size() == 4 && (u.starts_with(u"COM") || u.starts_with(u"LPT")) && u[3] >= u'1' &&
         u[3] <= u'9';
}

}  // namespace

std::u16string ExportBaseName(const Host& host, std::u16string_view caption) {
  std::u16string base;
  for (char16_t c : caption) {
    const int a = host.AnsiCode(c);
    if ((a > 47 && a < 58) || (a > 64 && a < 91) || (a > 96 && a < 123) || a < 0 || a > 255) {
      base += c;
    }
  }
  if (IsReservedDeviceName(base)) base += u'_';
  return base;
}

std::string ExportFileBytes(const Host& host, std::u16string_view text) {
  std::u16string content(text);
  content += u"\r\n";
  if (std::optional<std::string> ansi = host.ToAnsi(content)) return *std::move(ansi);
  return "\xEF\xBB\xBF" + ToUtf8(content);
}

void ExportTextSlot(Host& host, const ClipStore& store, int slot, std::u16string_view extension) {
  if (slot < 0 || slot >= store.ClipCount) return;
  const std::u16string_view text = store.ClipText[slot].text;
  const std::string bytes = ExportFileBytes(host, text);
  SaveUnderFreeName(host, ExportBaseName(host, RowPreview(text)), extension,
                    [&](std::u16string_view name) { return host.WriteNewFile(name, bytes); });
}

}  // namespace pw
