#include "host/event_names.h"

namespace korvex {

void EventNames::rename() {
  if (exchange_.text_slot(1) == "ID_OnEnum") names_[0] = exchange_.text_slot(0);
}

}  // namespace korvex
