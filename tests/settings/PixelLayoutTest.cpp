#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>

#include "platform/PixelLayout.h"

namespace rerevure::platform {
namespace {

using ::testing::ElementsAre;

TEST(TwipsToPixels, FifteenTwipsMakeOnePixelAt96Dpi) {
  EXPECT_EQ(TwipsToPixels(15, 96), 1);
  EXPECT_EQ(TwipsToPixels(5190, 96), 346);
  EXPECT_EQ(TwipsToPixels(4290, 96), 286);
  EXPECT_EQ(TwipsToPixels(0, 96), 0);
}

TEST(TwipsToPixels, RoundsHalfAwayFromZeroAsMulDivDoes) {
  EXPECT_EQ(TwipsToPixels(7, 96), 0);   // 0.467
  EXPECT_EQ(TwipsToPixels(8, 96), 1);   // 0.533
  EXPECT_EQ(TwipsToPixels(15, 48), 1);  // 0.5 exactly
  EXPECT_EQ(TwipsToPixels(-15, 48), -1);
  EXPECT_EQ(TwipsToPixels(-7, 96), 0);
  EXPECT_EQ(TwipsToPixels(255, 120), 21);  // 21.25 at 125 %
  EXPECT_EQ(TwipsToPixels(285, 144), 29);  // 28.5 at 150 %
  EXPECT_EQ(TwipsToPixels(1440, 192), 192);
}

TEST(TwipsToPixels, DoesNotOverflowOnLargeValues) {
  EXPECT_EQ(TwipsToPixels(30'000'000, 480), 10'000'000);
}

ControlLayout At(int left, int top, int width, int height) {
  ControlLayout control;
  control.left = left;
  control.top = top;
  control.width = width;
  control.height = height;
  return control;
}

TEST(ControlRect, ConvertsEachEdgeAndSizeSeparately) {
  EXPECT_EQ(ControlRect(At(1560, 360, 3135, 285), 96), (PixelRect{104, 24, 209, 19}));
  // At 120 DPI equal sizes stay equal, whatever the position rounds to.
  EXPECT_EQ(ControlRect(At(1560, 840, 3135, 285), 120), (PixelRect{130, 70, 261, 24}));
  EXPECT_EQ(ControlRect(At(1560, 1320, 3135, 285), 120), (PixelRect{130, 110, 261, 24}));
}

ControlLayout Item(int id, ControlKind kind, int container, int tab_index) {
  ControlLayout control;
  control.id = id;
  control.kind = kind;
  control.container = container;
  control.tab_index = tab_index;
  return control;
}

std::vector<int> Ids(const std::vector<const ControlLayout*>& controls) {
  std::vector<int> ids;
  for (const ControlLayout* control : controls) ids.push_back(control->id);
  return ids;
}

TEST(StackingOrder, PutsFocusableControlsAndFramesByTabIndexThenTheLabels) {
  const std::array<ControlLayout, 7> controls{
      Item(10, ControlKind::Label, 5, 1),    Item(11, ControlKind::TextBox, 5, 2),
      Item(12, ControlKind::Label, 5, 11),   Item(13, ControlKind::Button, 5, 7),
      Item(14, ControlKind::TextBox, 5, 13), Item(15, ControlKind::Label, 5, 3),
      Item(16, ControlKind::Frame, 5, 4),
  };
  EXPECT_THAT(Ids(StackingOrder(controls, 5)), ElementsAre(11, 16, 13, 14, 10, 15, 12));
}

TEST(StackingOrder, TakesOnlyTheContainersOwnControls) {
  const std::array<ControlLayout, 5> controls{
      Item(20, ControlKind::Button, kClientArea, 1), Item(21, ControlKind::Frame, kClientArea, 2),
      Item(22, ControlKind::Button, 21, 3),          Item(23, ControlKind::Button, kClientArea, 0),
      Item(24, ControlKind::Button, 21, 6),
  };
  EXPECT_THAT(Ids(StackingOrder(controls, kClientArea)), ElementsAre(23, 20, 21));
  EXPECT_THAT(Ids(StackingOrder(controls, 21)), ElementsAre(22, 24));
  EXPECT_TRUE(StackingOrder(controls, 99).empty());
}

TEST(StackingOrder, KeepsTheTablesOrderForEqualTabIndexes) {
  const std::array<ControlLayout, 3> controls{Item(30, ControlKind::Button, kClientArea, 1),
                                              Item(31, ControlKind::Button, kClientArea, 1),
                                              Item(32, ControlKind::Button, kClientArea, 0)};
  EXPECT_THAT(Ids(StackingOrder(controls, kClientArea)), ElementsAre(32, 30, 31));
}

}  // namespace
}  // namespace rerevure::platform
