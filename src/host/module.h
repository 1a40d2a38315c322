// The module object: all module-wide state, one object per subsystem, alive
// from the host's load of the module to its unload.
#pragma once

#include "drives/drive_inventory.h"
#include "host/host_interface.h"
#include "host/value_exchange.h"
#include "identify/disk_identification.h"
#include "platform/platform.h"

namespace korvex {

class Module {
 public:
  explicit Module(Platform& platform);
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  Platform& platform;
  ValueExchange exchange;
  HostInterface host;
  DriveInventory drives;
  DiskIdentification disks;
};

// The module the exports answer from: made at load, destroyed at unload.
void load_module(Platform& platform);
void unload_module();
Module* loaded_module();

}  // namespace korvex
