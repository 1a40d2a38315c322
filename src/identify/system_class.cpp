#include "identify/system_class.h"

namespace korvex {

std::uint16_t version_number_of(std::uint32_t version) {
  return static_cast<std::uint16_t>((version & 0xFF) << 8 | (version >> 8 & 0xFF));
}

std::uint8_t system_class_of(std::uint32_t version) {
  const std::uint32_t major = version & 0xFF;
  const std::uint32_t minor = (version >> 8) & 0xFF;
  const std::uint32_t v = version_number_of(version);
  const bool nt_platform = (version & 0x80000000u) == 0;
  if (!nt_platform) {
    if (major < 4) return 0;
    if (v < 0x040A) return 1;
    if (v < 0x045A) return 2;
    return 3;
  }
  // The order matters: 6.1 has minor number 1 and so is class 6, not 8.
  if (major < 5) return 4;
  if (v < 0x0501) return 5;
  if (minor == 1) return 6;
  if (major < 6) return 7;
  return 8;
}

void SystemClass::compute() {
  // Any value with the top bit set means not yet computed.
  if ((class_ & 0x80) == 0) return;
  const std::uint32_t version = platform_.get_version();
  class_ = system_class_of(version);
  version_number_ = version_number_of(version);
}

std::uint8_t SystemClass::get() {
  compute();
  return class_;
}

std::uint16_t SystemClass::version_number() {
  compute();
  return version_number_;
}

}  // namespace korvex
