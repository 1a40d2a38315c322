// The fuzz bytes read as the values a harness needs, front to back; past the
// end every value is zero. libFuzzer's mutations then change one value at a
// time, and the same reader serves the replay of the corpus without clang.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

namespace korvex::fuzz {

class FuzzBytes {
 public:
  FuzzBytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool empty() const { return at_ == size_; }

  template <typename Integer>
  Integer integer() {
    using Unsigned = std::make_unsigned_t<Integer>;
    Unsigned value = 0;
    for (std::size_t i = 0; i < sizeof value && !empty(); ++i) {
      value |= static_cast<Unsigned>(static_cast<Unsigned>(data_[at_++]) << (8 * i));
    }
    return static_cast<Integer>(value);
  }

  // From low to high, both included.
  template <typename Integer>
  Integer in_range(Integer low, Integer high) {
    using Unsigned = std::make_unsigned_t<Integer>;
    const Unsigned span = static_cast<Unsigned>(static_cast<Unsigned>(high) - static_cast<Unsigned>(low));
    Unsigned value = 0;
    // Only as many bytes as the span needs, so small choices cost one byte.
    for (Unsigned left = span; left != 0 && !empty(); left >>= 8) value = (value << 8) | data_[at_++];
    if (span != std::numeric_limits<Unsigned>::max()) value %= span + 1;
    return static_cast<Integer>(static_cast<Unsigned>(low) + value);
  }

  bool boolean() { return (integer<std::uint8_t>() & 1) != 0; }

  template <typename T, std::size_t N>
  const T& pick(const T (&values)[N]) {
    return values[in_range<std::size_t>(0, N - 1)];
  }

  std::vector<std::uint8_t> bytes(std::size_t count) {
    count = std::min(count, size_ - at_);
    std::vector<std::uint8_t> taken(data_ + at_, data_ + at_ + count);
    at_ += count;
    return taken;
  }

  // A length up to max_size, then that many bytes.
  std::string text(std::size_t max_size) {
    const std::vector<std::uint8_t> taken = bytes(in_range<std::size_t>(0, max_size));
    return {taken.begin(), taken.end()};
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

}  // namespace korvex::fuzz
