#include "support/extended_precision.h"

namespace korvex {
namespace {

// The sticky exception flags of the status word, with the stack-fault flag
// and the summary bit that marks an unmasked one as pending.
constexpr std::uint16_t kExceptionFlags = 0x00FF;
constexpr std::uint16_t kPendingException = 0x0080;

// The 28-byte x87 environment as fnstenv stores it in 32-bit protected mode.
struct X87Environment {
  std::uint32_t control;
  std::uint32_t status;
  std::uint32_t tag;
  std::uint32_t pointers[4];
};
static_assert(sizeof(X87Environment) == 28);

std::uint16_t x87_exception_flags() {
  std::uint16_t status;
  __asm__ __volatile__("fnstsw %0" : "=am"(status));
  return static_cast<std::uint16_t>(status & kExceptionFlags);
}

void clear_exception_flags() { __asm__ __volatile__("fnclex"); }

// fldenv is the only way to set flags, and a slow one. The environment is
// taken fresh so that the register tags stay as they are now; control word
// and flags go back in the same load, so no flag is ever pending under an
// unmasked exception in between.
void restore_control_and_flags(std::uint16_t control, std::uint16_t flags) {
  X87Environment environment;
  __asm__ __volatile__("fnstenv %0" : "=m"(environment));
  environment.control = control;
  environment.status = (environment.status & ~std::uint32_t{kExceptionFlags}) | flags;
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

// Loading a control word stalls many processors, so fldcw is skipped when the
// caller already runs with the module's. The flags stay as they are: they
// only accumulate, so comparing them on the way out shows whether the work
// raised new ones.
ExtendedPrecision::ExtendedPrecision()
    : saved_control_(x87_control_word()), saved_flags_(x87_exception_flags()) {
  // A caller's pending unmasked exception would be taken by the first waiting
  // instruction here; it gets it back, still pending, on the way out.
  if ((saved_flags_ & kPendingException) != 0) clear_exception_flags();
  if (saved_control_ != kControlWord) set_x87_control_word(kControlWord);
}

// Flags before control word: under the caller's unmasked exceptions, a flag
// the work raised would turn into a pending exception.
ExtendedPrecision::~ExtendedPrecision() {
  const std::uint16_t flags = x87_exception_flags();
  if (flags != saved_flags_ && saved_flags_ != 0) {
    restore_control_and_flags(saved_control_, saved_flags_);
    return;
  }
  if (flags != saved_flags_) clear_exception_flags();
  if (saved_control_ != kControlWord) set_x87_control_word(saved_control_);
}

}  // namespace korvex
