// The module object: all module-wide state, one object per subsystem, alive
// from the host's load of the module to its unload.
#pragma once

#include "drives/drive_inventory.h"
#include "host/event_names.h"
#include "host/host_interface.h"
#include "host/host_settings.h"
#include "host/value_exchange.h"
#include "host/window_hook.h"
#include "identify/disk_identification.h"
#include "platform/platform.h"

namespace korvex {

class Module {
 public:
  explicit Module(Platform& platform);
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  Platform& platform;
  // Members go in reverse order at unload, which is the module's shutdown
  // order: the host's window gets its procedure back before anything else,
  // then the event names, the text result, the text stack and the host path
  // are released, and the drive list last. The drive inventory only keeps a
  // reference to the exchange, which may be bound before the exchange is made.
  DriveInventory drives;
  HostSettings settings;
  ValueExchange exchange;
  HostInterface host;
  EventNames events;
  DiskIdentification disks;
  WindowHook window_hook;
};

// The module the exports answer from: made at load, destroyed at unload.
void load_module(Platform& platform);
void unload_module();
Module* loaded_module();

}  // namespace korvex
