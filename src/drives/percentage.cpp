#include "drives/percentage.h"

#include <cmath>

#include "support/extended_precision.h"

namespace korvex {

std::int32_t whole_percentage(std::int64_t part, std::int64_t total) {
  if (total == 0) return 0;
  ExtendedPrecision precision;
  // The hundredth is rounded on its own before the division. Near a tie that
  // rounding decides the answer, and a 53-bit one can decide it differently
  // (200704 free of 229376 gives 87 there), so both steps stay 80-bit.
  const long double hundredth = static_cast<long double>(total) / 100;
  const long double quotient = static_cast<long double>(part) / hundredth;
  // llrint has a defined (if unspecified) answer for quotients beyond 64 bits,
  // which only a free count above the total could give.
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(std::llrint(quotient)));
}

}  // namespace korvex
