#include "i18n/core/text_format.h"

namespace vantrel::i18n {

std::string FormatText(std::string_view format, std::initializer_list<std::string_view> args) {
  std::string out;
  out.reserve(format.size());
  auto next = args.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    char kind = i + 1 < format.size() ? format[i + 1] : '\0';
    if (c != '%' || (kind != 's' && kind != 'd' && kind != '%')) {
      out += c;
      continue;
    }
    ++i;
    if (kind == '%') {
      out += '%';
    } else if (next != args.end()) {
      out += *next++;
    }
  }
  return out;
}

}  // namespace vantrel::i18n
