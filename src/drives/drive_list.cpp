#include "drives/drive_list.h"

namespace korvex {

const DriveRecord* DriveList::at(std::int32_t position) const {
  if (position < 0 || position >= count()) return nullptr;
  return &records_[static_cast<std::size_t>(position)];
}

}  // namespace korvex
