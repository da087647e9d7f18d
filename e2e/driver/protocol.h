// The driver's line protocol.
//
// One request per line: fields separated by TAB, the first field the command.
// One reply per line: "ok" or "err", then fields separated by TAB. Text is
// UTF-8; inside a field a backslash escapes itself, a TAB (\t), a line feed
// (\n) and a carriage return (\r), so a field never contains a raw separator.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pwdriver {

std::string Escape(std::string_view raw);
std::string Unescape(std::string_view field);

// Splits a request line into its unescaped fields.
std::vector<std::string> SplitFields(std::string_view line);
// Joins fields into a reply line (escaped, without the line end).
std::string JoinFields(const std::vector<std::string>& fields);

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace pwdriver
