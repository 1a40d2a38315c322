// Keeps the calling thread's last-error code across clean-up calls (closing a
// device, giving the thread its error mode back). The host reads that code
// afterwards (GetHddInfo's result, GetErrorMessage) to learn why a query
// failed; a clean-up call that fails must not put its own reason in place of
// the query's.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace korvex {

class KeptLastError {
 public:
  explicit KeptLastError(Platform& platform)
      : platform_(platform), code_(platform.get_last_error()) {}
  ~KeptLastError() { platform_.set_last_error(code_); }
  KeptLastError(const KeptLastError&) = delete;
  KeptLastError& operator=(const KeptLastError&) = delete;

 private:
  Platform& platform_;
  std::uint32_t code_;
};

}  // namespace korvex
