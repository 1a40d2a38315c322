#include "exchange/value_exchange.h"

#include <algorithm>

namespace korvex {

void ValueExchange::push_data(std::int32_t value) {
  std::shift_right(data_.begin(), data_.end(), 1);
  data_[0] = value;
}

void ValueExchange::push_text(std::string text) {
  std::shift_right(texts_.begin(), texts_.end(), 1);
  texts_[0] = std::move(text);
}

}  // namespace korvex
