#include "host/event_names.h"

namespace korvex {

void EventNames::rename(std::string_view identifier, std::string_view new_name) {
  if (identifier == "ID_OnEnum") names_[0].assign(new_name);
}

}  // namespace korvex
