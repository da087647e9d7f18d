#include "app/saved_file.h"

#include "capture/clip_store.h"
#include "platform/text.h"

namespace pw {
namespace {
// Far more files of one name than anyone keeps; past it the save fails
// rather than searching forever.
constexpr int kMostNumbers = 9999;
}  // namespace

std::u16string NumberedName(std::u16string_view base, int number, std::u16string_view extension) {
  std::u16string name(base);
  if (number > 1) {
    name += u'(';
    name += Decimal(number);
    name += u')';
  }
  return name += extension;
}

void SaveUnderFreeName(Host& host, std::u16string_view base, std::u16string_view extension,
                       const std::function<FileResult(std::u16string_view name)>& write) {
  std::u16string name;
  FileResult result{FileResult::Exists, u"Every numbered name of this file is taken."};
  int number = 1;
  for (; number <= kMostNumbers && result.status == FileResult::Exists; ++number) {
    name = NumberedName(base, number, extension);
    FileResult tried = write(name);
    if (tried.status != FileResult::Exists) result = std::move(tried);
  }
  if (result.status == FileResult::Written) {
    host.MessageBox(number == 2 ? std::u16string(MsgFileSaved)
                                : std::u16string(MsgFileSaved) + u"\n" + name);
  } else {
    host.MessageBox(u"The file \"" + name + u"\" could not be saved: " + result.reason,
                    MessageKind::Error);
  }
}

}  // namespace pw
