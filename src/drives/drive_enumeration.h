// The walk over the drive letters that ListDrives makes.
#pragma once

#include "drives/drive_list.h"
#include "platform/platform.h"

namespace korvex {

// Clears the list, then appends a record for each drive "A" to "Z" that
// exists and whose volume answers, in letter order.
void enumerate_drives(Platform& platform, DriveList& list);

}  // namespace korvex
