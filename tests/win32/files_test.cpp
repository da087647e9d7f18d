// Files in the current directory, the ANSI code page and the clock, under Wine.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/win32/dib.h"
#include "platform/win32/files.h"
#include "platform/win32/handles.h"
#include "test_pictures.h"
#include "win32_test_support.h"

namespace pw::win32 {
namespace {

using testing::DifferingPixels;
using testing::IsDirectory;
using testing::Opaque;
using testing::Pattern;
using testing::ReadWholeFile;
using testing::ScratchDirectory;

std::vector<std::uint8_t> Bytes(std::string_view s) { return {s.begin(), s.end()}; }

UniqueFile CreateWithContent(const wchar_t* name, std::string_view content, DWORD share) {
  UniqueFile file(::CreateFileW(name, GENERIC_WRITE, share, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (file) ::WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  return file;
}

TEST(WriteBytes, CreatesThenReplacesTheFileWithExactlyTheBytes) {
  ScratchDirectory dir;
  Win32Files files;
  std::string every_byte;
  for (int b = 0; b < 256; ++b) every_byte.push_back(static_cast<char>(b));
  every_byte += "\r\n";

  ASSERT_TRUE(files.WriteBytes(u"Hello.txt", every_byte).ok);
  std::vector<std::uint8_t> read;
  ASSERT_TRUE(ReadWholeFile(L"Hello.txt", read));
  EXPECT_EQ(read, Bytes(every_byte));

  ASSERT_TRUE(files.WriteBytes(u"Hello.txt", "xy").ok);  // shorter: truncated, not overlaid
  ASSERT_TRUE(ReadWholeFile(L"Hello.txt", read));
  EXPECT_EQ(read, Bytes("xy"));

  ASSERT_TRUE(files.WriteBytes(u".doc", "").ok);  // a name that is only an extension
  ASSERT_TRUE(ReadWholeFile(L".doc", read));
  EXPECT_TRUE(read.empty());
}

TEST(WriteBytes, FailureGivesAReasonAndLeavesNoPartialFile) {
  ScratchDirectory dir;
  Win32Files files;
  ASSERT_TRUE(::CreateDirectoryW(L"Folder.txt", nullptr));
  UniqueFile held = CreateWithContent(L"Held.txt", "old", /*share=*/0);
  ASSERT_TRUE(held);

  const struct {
    const char* what;
    const char16_t* name;
  } cases[] = {
      {"an existing folder", u"Folder.txt"},
      {"a file another program holds open", u"Held.txt"},
      {"a folder that does not exist", u"missing\\x.txt"},
      {"a name Windows refuses", u"a<b>.txt"},
  };
  for (const auto& c : cases) {
    const FileResult result = files.WriteBytes(c.name, "new content");
    EXPECT_FALSE(result.ok) << c.what;
    EXPECT_FALSE(result.reason.empty()) << c.what;
  }
  EXPECT_TRUE(IsDirectory(L"Folder.txt"));
  EXPECT_EQ(::GetFileAttributesW(L"a<b>.txt"), INVALID_FILE_ATTRIBUTES);
  held.reset();
  std::vector<std::uint8_t> read;
  ASSERT_TRUE(ReadWholeFile(L"Held.txt", read));
  EXPECT_EQ(read, Bytes("old"));
}

TEST(WriteBytes, ReasonIsWindowsOwnWords) {
  ScratchDirectory dir;
  ASSERT_TRUE(::CreateDirectoryW(L"Folder.doc", nullptr));
  const FileResult result = Win32Files().WriteBytes(u"Folder.doc", "x");
  ASSERT_FALSE(result.ok);
  wchar_t expected[512];
  const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, ERROR_ACCESS_DENIED, 0, expected, 512, nullptr);
  ASSERT_GT(n, 0u);
  const std::u16string words(reinterpret_cast<const char16_t*>(expected), n);
  // The same text, without a trailing line break.
  EXPECT_EQ(words.rfind(result.reason, 0), 0u);
  EXPECT_NE(result.reason.back(), u'\n');
}

TEST(SaveBitmap, WritesTheWholePictureAsAReadableBitmapFile) {
  ScratchDirectory dir;
  Win32Files files;
  const Picture source = Pattern(41, 27, /*alpha=*/true, 96.0);
  ASSERT_TRUE(files.SaveBitmap(u"Pastewright202711000.bmp", source).ok);

  std::vector<std::uint8_t> file;
  ASSERT_TRUE(ReadWholeFile(L"Pastewright202711000.bmp", file));
  ASSERT_GT(file.size(), 54u);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  const std::uint32_t declared = file[2] | file[3] << 8 | file[4] << 16 | file[5] << 24;
  EXPECT_EQ(declared, file.size());
  const Picture back = DecodePackedDib(std::span(file).subspan(14));
  ASSERT_FALSE(back.empty());
  EXPECT_EQ(DifferingPixels(back.bitmap(), Opaque(source).bitmap()), 0u);

  EXPECT_FALSE(files.SaveBitmap(u"empty.bmp", Picture()).ok);
  EXPECT_EQ(::GetFileAttributesW(L"empty.bmp"), INVALID_FILE_ATTRIBUTES);
}

// The cases below depend on the system's ANSI code page; Wine picks it from
// the locale it runs in.
TEST(Ansi, CodesAndConversionsInWesternEuropeanCodePage) {
  if (::GetACP() != 1252) GTEST_SKIP() << "ANSI code page is " << ::GetACP();
  const Win32Files files;
  const struct {
    char16_t c;
    int code;
  } codes[] = {
      {u'A', 65},     {u'z', 122},    {u'0', 48},     {u' ', 32},  {u'\t', 9},
      {u'\u00e9', 233}, {u'\u20ac', 128},  // é, the euro sign
      {u'\u4e2d', 63},  // 中: not in the code page
      {u'\u0100', 63},  // Ā: no best fit to "A"
      {char16_t{0xD800}, 63},  // half a surrogate pair
  };
  for (const auto& c : codes) EXPECT_EQ(files.AnsiCode(c.c), c.code) << int(c.c);

  const struct {
    std::u16string text;
    std::optional<std::string> ansi;
  } texts[] = {
      {u"", std::string()},
      {u"Hello, World!\r\n", std::string("Hello, World!\r\n")},
      {u"h\u00e9llo \u20ac", std::string("h\xe9llo \x80")},
      {u"\u4e2d\u6587", std::nullopt},
      {u"ok \u0100", std::nullopt},
  };
  for (const auto& t : texts) {
    EXPECT_EQ(files.ToAnsi(t.text), t.ansi) << t.text.size();
  }
}

TEST(Ansi, DoubleByteCharactersAreNegativeInChineseCodePage) {
  if (::GetACP() != 936) GTEST_SKIP() << "ANSI code page is " << ::GetACP();
  const Win32Files files;
  EXPECT_EQ(files.AnsiCode(u'A'), 65);
  EXPECT_EQ(files.AnsiCode(u'\u4e2d'), static_cast<std::int16_t>(0xD6D0));  // 中
  EXPECT_EQ(files.ToAnsi(u"\u4e2d\u6587"), std::string("\xd6\xd0\xce\xc4"));
}

TEST(Clock, NowIsTheLocalDateAndTime) {
  SYSTEMTIME before{}, after{};
  ::GetLocalTime(&before);
  const LocalTime now = Win32Clock().Now();
  ::GetLocalTime(&after);
  // Between two readings of the system's own clock (allowing for a new day).
  EXPECT_TRUE(now.year == before.wYear || now.year == after.wYear);
  EXPECT_TRUE(now.day == before.wDay || now.day == after.wDay);
  EXPECT_TRUE(now.minute == before.wMinute || now.minute == after.wMinute);
  EXPECT_GE(now.month, 1);
  EXPECT_LE(now.month, 12);
  EXPECT_LE(now.hour, 23);
  EXPECT_LE(now.second, 59);
}

}  // namespace
}  // namespace pw::win32
