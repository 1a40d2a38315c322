#include "support/quoted_text.h"

namespace korvex {
namespace {
constexpr char kHexDigits[] = "0123456789abcdef";
}

std::string quoted_text(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '\r': quoted += "\\r"; break;
      case '\n': quoted += "\\n"; break;
      case '\t': quoted += "\\t"; break;
      case '"': quoted += "\\\""; break;
      case '\\': quoted += "\\\\"; break;
      default:
        if (byte >= 0x20 && byte <= 0x7E) {
          quoted += c;
        } else {
          quoted += "\\x";
          quoted += kHexDigits[byte >> 4];
          quoted += kHexDigits[byte & 0xF];
        }
    }
  }
  return quoted + "\"";
}

std::string quoted_excerpt(std::string_view text, std::size_t max_bytes) {
  if (text.size() <= max_bytes) return quoted_text(text);
  return quoted_text(text.substr(0, max_bytes)) + "...";
}

std::string hex_bytes(const void* bytes, std::size_t size) {
  const auto* data = static_cast<const std::uint8_t*>(bytes);
  std::string hex;
  hex.reserve(size * 2);
  for (std::size_t i = 0; i < size; ++i) {
    hex += kHexDigits[data[i] >> 4];
    hex += kHexDigits[data[i] & 0xF];
  }
  return hex;
}

}  // namespace korvex
