// Control requests on one disk-control device: open it by name, send the
// requests, close it again.
#pragma once

#include <cstdint>
#include <string>

#include "identify/device_handle.h"
#include "platform/platform.h"

namespace korvex {

// A device name with CreateFileA's access, share and disposition values.
struct DeviceOpening {
  std::string name;
  std::uint32_t access;
  std::uint32_t share;
  std::uint32_t disposition;
};

// "\\.\PhysicalDrive" and the device number in decimal, a minus sign kept.
std::string physical_drive_name(std::int32_t device_number);

// The device opened as asked; empty when it could not be.
UniqueDeviceHandle open_device(Platform& platform, const DeviceOpening& device);

// Opens the device, sends one request and closes the device on every path.
// False when the device could not be opened or refused the request; the
// system's last-error value is what the failing call left.
bool send_device_request(Platform& platform, const DeviceOpening& device, std::uint32_t code,
                         const void* input, std::uint32_t input_size, void* output,
                         std::uint32_t output_size, std::uint32_t* returned);

}  // namespace korvex
