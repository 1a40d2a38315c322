#include "host/host_settings.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>


namespace korvex::tests {
namespace {

TEST(HostSettings, DrawStoresPositionAndRectangleWrappingAt32Bits) {
  struct Case {
    std::int32_t x, y, width, height;
    std::int32_t right, bottom;
  };
  for (const Case& c : {Case{10, 20, 30, 40, 40, 60}, Case{100, 100, -30, -40, 70, 60},
                        Case{INT_MAX, -5, 1, INT_MIN, INT_MIN, INT_MAX - 4}}) {
    HostSettings settings;
    settings.draw(c.x, c.y, c.width, c.height);
    EXPECT_EQ(settings.position().x, c.x);
    EXPECT_EQ(settings.position().y, c.y);
    const DrawingRectangle r = settings.rectangle();
    EXPECT_EQ((std::array{r.left, r.top, r.right, r.bottom}),
              (std::array{c.x, c.y, c.right, c.bottom}));
  }
}

TEST(EventNames, OnlyIdOnEnumRenamesAndOnlyTheFirstEvent) {
  struct Case {
    const char* identifier;
    const char* first;
  };
  for (const Case& c : {Case{"ID_OnEnum", "Scan"}, Case{"id_onenum", "OnEnum"},
                        Case{"ID_OnEnum ", "OnEnum"}, Case{"ID_OnProgress", "OnEnum"},
                        Case{"", "OnEnum"}}) {
    EventNames events;
    events.rename(c.identifier, "Scan");
    EXPECT_EQ(events.name(0), c.first) << c.identifier;
    EXPECT_EQ(events.name(1), "OnProgress");
  }
}

}  // namespace
}  // namespace korvex::tests
