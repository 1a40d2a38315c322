#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstring>
#include <vector>

#include "host/module.h"
#include "platform/sim/simulated_machine.h"

namespace korvex {
namespace {

TEST(HostSettings, PathIsACopyAndNullIsEmpty) {
  HostSettings settings;
  EXPECT_EQ(settings.path(), "");
  char buffer[] = "C:\\Host\\";
  settings.set_path(buffer);
  std::strcpy(buffer, "xxxxxxx");
  EXPECT_EQ(settings.path(), "C:\\Host\\");
  settings.set_path(nullptr);
  EXPECT_EQ(settings.path(), "");
}

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

TEST(EventNames, OnlyIdOnEnumPushedBeforeTheNewNameRenamesTheFirstEvent) {
  struct Case {
    std::vector<const char*> pushes;
    const char* first;
  };
  const Case cases[] = {
      {{}, "OnEnum"},
      {{"ID_OnEnum", "Scan"}, "Scan"},
      {{"Scan", "ID_OnEnum"}, "OnEnum"},
      {{"id_onenum", "Scan"}, "OnEnum"},
      {{"ID_OnEnum ", "Scan"}, "OnEnum"},
      {{"ID_OnProgress", "Scan"}, "OnEnum"},
      {{"ID_OnEnum", "Scan", "Again"}, "OnEnum"},
      {{"ID_OnEnum", nullptr}, ""},
  };
  for (const Case& c : cases) {
    SimulatedMachine machine;
    Module module{machine};
    for (const char* text : c.pushes) module.host.set_file(text);
    module.events.rename();
    EXPECT_EQ(module.events.name(0), c.first) << c.pushes.size() << " pushes";
    EXPECT_EQ(module.events.name(1), "OnProgress");
  }
}

}  // namespace
}  // namespace korvex
