// The drive records of the last ListDrives, in ascending drive-letter order;
// a record's position is the index SelectDrive takes.
#pragma once

#include <cstdint>
#include <vector>

#include "drives/drive_record.h"

namespace korvex {

class DriveList {
 public:
  void append(const DriveRecord& record) { records_.push_back(record); }
  void clear() { records_.clear(); }
  std::int32_t count() const { return static_cast<std::int32_t>(records_.size()); }

  // The record at a position from 0 to count() - 1; nullptr for any other.
  // Valid until the list changes.
  const DriveRecord* at(std::int32_t position) const;

 private:
  std::vector<DriveRecord> records_;
};

}  // namespace korvex
