// Small text conversions the logic shares.
#pragma once

#include <string>
#include <string_view>

namespace pw {

// The number in plain decimal, without leading zeros.
std::u16string Decimal(int value);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);

}  // namespace pw
