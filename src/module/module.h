// The module object: all module-wide state, the exchange cells and one object
// per subsystem, alive from the host's load of the module to its unload.
#pragma once

#include "drives/drive_inventory.h"
#include "exchange/value_exchange.h"
#include "host/host_settings.h"
#include "host/window_hook.h"
#include "identify/disk_identification.h"
#include "platform/lock.h"
#include "platform/platform.h"

namespace korvex {

class Module {
 public:
  explicit Module(Platform& platform)
      : platform(platform), drives(platform), disks(platform), window_hook(platform) {}
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  Platform& platform;
  // Members go in reverse order at unload, which is the module's shutdown
  // order: the host's window gets its procedure back before anything else,
  // then the event names, the text result, the text stack and the host path
  // are released, and the drive list last.
  DriveInventory drives;
  HostSettings settings;
  ValueExchange exchange;
  EventNames events;
  DiskIdentification disks;
  WindowHook window_hook;
};

// The module the exports answer from: made at load, destroyed at unload.
//
// The host's contract: it frees the module only when no thread of its own is
// inside an export and none will call one again. Windows runs the unload
// under the loader lock and releases the image straight after it, so an
// export still running then would go on in freed code whatever lock it held;
// a lock taken at unload would protect nothing. Unload is a plain teardown.
void load_module(Platform& platform);
void unload_module();
Module* loaded_module();

// The lock every export holds for its whole run, so that no two exports ever
// touch the module at once, whichever threads the host calls them from. Made
// at load before the module and given back at unload after it; nullptr while
// no module is loaded.
Lock* module_lock();

}  // namespace korvex
