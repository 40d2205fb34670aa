// Where the operator window opens from its stored rectangle: the far-edge correction with the
// created size, the bound of a damaged file's size, and the return from a removed monitor.
#include "settings/stored_rectangle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/row_names.h"

namespace settings {
std::ostream& operator<<(std::ostream& out, const PixelRect& r) {
  return out << r.left << "," << r.top << " " << r.width << "x" << r.height;
}
}  // namespace settings

namespace {

using settings::PixelRect;

// The screens: the primary, then every screen's available area (the primary's first).
struct Screens {
  PixelRect primary;
  std::vector<PixelRect> available;
};

const Screens kBare{{0, 0, 1920, 1080}, {{0, 0, 1920, 1080}}};
const Screens kTaskBar{{0, 0, 1920, 1080}, {{0, 0, 1920, 1040}}};
const Screens kTwo{{0, 0, 1920, 1080}, {{0, 30, 1920, 1050}, {-1280, 0, 1280, 984}}};

struct PlacementCase {
  const char* name;
  Screens screens;
  PixelRect stored;
  PixelRect expected;
};
QUEUE_PRINT_ROWS_BY(PlacementCase, name)

class StoredRectangleTest : public testing::TestWithParam<PlacementCase> {};

TEST_P(StoredRectangleTest, PlacesAsTheRulesSay) {
  const Screens& screens = GetParam().screens;
  settings::ScreenAreas areas;
  areas.primary = screens.primary;
  areas.primary_available = screens.available.front();
  areas.available = screens.available;
  int left = screens.primary.left, top = screens.primary.top;
  int right = left + screens.primary.width, bottom = top + screens.primary.height;
  for (const PixelRect& area : screens.available) {
    left = std::min(left, area.left);
    top = std::min(top, area.top);
    right = std::max(right, area.left + area.width);
    bottom = std::max(bottom, area.top + area.height);
  }
  areas.desktop = {left, top, right - left, bottom - top};
  // The created outer size is 420 by 112, the frame 4 by 30.
  EXPECT_EQ(settings::PlaceStoredRectangle(GetParam().stored, {420, 112}, {4, 30}, areas),
            GetParam().expected);
}

const PlacementCase kPlacementCases[] = {
    {"AsStored", kBare, {100, 200, 500, 150}, {100, 200, 500, 150}},
    {"TopOneAboveTheBottomEdge", kBare, {0, 1079, 420, 112}, {0, 1079, 420, 112}},
    // The correction uses the created height (112), not the stored one.
    {"TopAtTheBottomEdge", kBare, {0, 1080, 420, 300}, {0, 1080 - 112 - 30, 420, 300}},
    {"TopFarBelow", kBare, {0, 5000, 420, 112}, {0, 1080 - 112 - 30, 420, 112}},
    {"LeftAtTheRightEdge", kBare, {1920, 10, 600, 112}, {1920 - 420 - 30, 10, 600, 112}},
    {"PartlyOffTheLeftEdge", kBare, {-300, 10, 420, 112}, {-300, 10, 420, 112}},
    // Wholly outside every screen's available area: to the primary's available top left.
    {"TopOfMinus3000", kBare, {10, -3000, 420, 112}, {0, 0, 420, 112}},
    {"RemovedMonitor", kBare, {-1000, 100, 420, 112}, {0, 0, 420, 112}},
    {"OnlyOnTheTaskBar", kTaskBar, {0, 1045, 420, 30}, {0, 0, 420, 30}},
    {"OnTheMonitorLeftOfThePrimary", kTwo, {-1000, 100, 420, 112}, {-1000, 100, 420, 112}},
    {"AboveThePrimaryBesideNothing", kTwo, {100, -500, 420, 112}, {0, 30, 420, 112}},
    // A damaged file's size would make a window of gigabytes: no larger than the desktop and
    // the frame.
    {"HugeSizeBoundedByTheDesktop",
     kBare,
     {0, 0, 99999999, 2147483647},
     {0, 0, 1920 + 4, 1080 + 30}},
    {"HugeSizeBoundedByBothMonitors",
     kTwo,
     {-1000, 0, 2147483647, 2147483647},
     {-1000, 0, 3200 + 4, 1080 + 30}},
    {"SmallestPositionStaysInRange",
     kBare,
     {-2147483647 - 1, -2147483647 - 1, 420, 112},
     {0, 0, 420, 112}},
    // An empty window still stands somewhere: at the origin it overlaps the screen.
    {"EmptySizeAtTheOrigin", kBare, {0, 0, 0, 0}, {0, 0, 0, 0}},
    {"NegativeSizeIsNone", kBare, {10, 10, -5, -5}, {10, 10, 0, 0}},
};
INSTANTIATE_TEST_SUITE_P(Rows, StoredRectangleTest, testing::ValuesIn(kPlacementCases),
                         [](const testing::TestParamInfo<PlacementCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
