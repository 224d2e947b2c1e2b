// Filling "%s" and "%d" in texts that come from language files. Such a text is not a trusted
// format string, so it never reaches printf: only the two placeholders are understood.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace vantrel::i18n {

// Replaces each "%s" or "%d" in `format` by the next of `args` (numbers are passed as their
// decimal text) and "%%" by "%". A placeholder without an argument left gives nothing; any
// other "%" stays as it is.
std::string FormatText(std::string_view format, std::initializer_list<std::string_view> args);

}  // namespace vantrel::i18n
