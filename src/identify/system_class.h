// Which family of Windows the module runs on, and so which disk-control
// interface reaches a disk: the 9x family has only the SMART driver, the NT
// family the SCSI miniport pass-through.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace korvex {

// 0 to 3: the 9x family (below 4.0, 4.0 to 4.9, 4.10 to 4.89, 4.90 and later);
// 4 to 8: the NT family (below 5.0, 5.0, minor 1 from 5.1 on, other 5.x, 6.0 and later).
std::uint8_t system_class_of(std::uint32_t version);

inline bool takes_smart_path(std::uint8_t system_class) { return system_class <= 3; }

// major×256+minor, as the class rule reads the version.
std::uint16_t version_number_of(std::uint32_t version);

// The class of the running system, read from GetVersion on first use and kept
// for as long as the module is loaded, with the version number of the same
// reading: the class does not tell 5.1 from 6.1.
class SystemClass {
 public:
  explicit SystemClass(Platform& platform) : platform_(platform) {}

  std::uint8_t get();
  std::uint16_t version_number();

 private:
  static constexpr std::uint8_t kNotComputed = 0xFF;

  void compute();

  Platform& platform_;
  std::uint8_t class_ = kNotComputed;
  std::uint16_t version_number_ = 0;
};

}  // namespace korvex
