#include "support/extended_precision.h"

namespace korvex {
namespace {

// The part of the status word that holds the sticky exception flags.
constexpr std::uint16_t kExceptionFlags = 0x00FF;

// The 28-byte x87 environment as fnstenv stores it in 32-bit protected mode.
struct X87Environment {
  std::uint32_t control;
  std::uint32_t status;
  std::uint32_t tag;
  std::uint32_t pointers[4];
};
static_assert(sizeof(X87Environment) == 28);

std::uint16_t x87_status_word() {
  std::uint16_t status;
  __asm__ __volatile__("fnstsw %0" : "=m"(status));
  return status;
}

// Puts back the caller's exception flags. fldenv is the only way to set them;
// the environment is taken fresh so the register tags stay as they are now.
void restore_exception_flags(std::uint16_t saved_status) {
  X87Environment environment;
  __asm__ __volatile__("fnstenv %0" : "=m"(environment));
  environment.status = (environment.status & ~std::uint32_t{kExceptionFlags}) |
                       (saved_status & kExceptionFlags);
  __asm__ __volatile__("fldenv %0" : : "m"(environment));
}

}  // namespace

std::uint16_t x87_control_word() {
  std::uint16_t control;
  __asm__ __volatile__("fnstcw %0" : "=m"(control));
  return control;
}

void set_x87_control_word(std::uint16_t control) {
  __asm__ __volatile__("fldcw %0" : : "m"(control));
}

ExtendedPrecision::ExtendedPrecision()
    : saved_control_(x87_control_word()), saved_status_(x87_status_word()) {
  __asm__ __volatile__("fnclex");
  set_x87_control_word(kControlWord);
}

ExtendedPrecision::~ExtendedPrecision() {
  if ((x87_status_word() & kExceptionFlags) != (saved_status_ & kExceptionFlags)) {
    restore_exception_flags(saved_status_);
  }
  set_x87_control_word(saved_control_);
}

}  // namespace korvex
