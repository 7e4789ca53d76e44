#include "base/texts.h"

#include <initializer_list>

std::string FillText(std::string_view pattern, std::initializer_list<std::string_view> args) {
  std::string out;
  out.reserve(pattern.size() + 64);
  auto next = args.begin();
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's') {
      if (next != args.end()) out.append(*next++);
      ++i;
    } else {
      out.push_back(pattern[i]);
    }
  }
  return out;
}

std::string FillNumber(std::string_view pattern, long long number) {
  std::string out;
  const auto at = pattern.find("%d");
  if (at == std::string_view::npos) return std::string(pattern);
  out.append(pattern.substr(0, at));
  out.append(std::to_string(number));
  out.append(pattern.substr(at + 2));
  return out;
}

std::string TidySystemMessage(std::string_view text) {
  size_t n = text.size();
  while (n > 0) {
    const auto c = static_cast<unsigned char>(text[n - 1]);
    if (c <= ' ' || c == '.') {
      --n;
    } else {
      break;
    }
  }
  return std::string(text.substr(0, n));
}

std::string ErrorBoxText(std::string_view text) {
  std::string out(text);
  if (!out.empty() && static_cast<unsigned char>(out.back()) > static_cast<unsigned char>('.')) {
    out.push_back('.');
  }
  return out;
}

std::string ExitCodeText(std::uint32_t code) {
  std::string text = "0x";
  for (int shift = 28; shift >= 0; shift -= 4) text += "0123456789ABCDEF"[(code >> shift) & 15];
  return text;
}
