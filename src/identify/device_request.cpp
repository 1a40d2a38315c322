#include "identify/device_request.h"

#include "support/decimal_text.h"

namespace korvex {

std::string physical_drive_name(std::int32_t device_number) {
  return "\\\\.\\PhysicalDrive" + integer_to_text(device_number);
}

UniqueDeviceHandle open_device(Platform& platform, const DeviceOpening& device) {
  return UniqueDeviceHandle(platform, platform.create_file(device.name.c_str(), device.access,
                                                           device.share, device.disposition));
}

bool send_device_request(Platform& platform, const DeviceOpening& device, std::uint32_t code,
                         const void* input, std::uint32_t input_size, void* output,
                         std::uint32_t output_size, std::uint32_t* returned) {
  const UniqueDeviceHandle handle = open_device(platform, device);
  if (!handle) return false;
  return platform.device_io_control(handle.get(), code, input, input_size, output, output_size,
                                    returned);
}

}  // namespace korvex
