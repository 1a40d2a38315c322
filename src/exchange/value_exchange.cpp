#include "exchange/value_exchange.h"

#include <algorithm>

namespace korvex {

void ValueExchange::push_data(std::int32_t value) {
  std::shift_right(data_.begin(), data_.end(), 1);
  data_[0] = value;
}

void ValueExchange::push_text(std::string_view text) {
  std::rotate(texts_.rbegin(), texts_.rbegin() + 1, texts_.rend());
  texts_[0].assign(text);
}

}  // namespace korvex
