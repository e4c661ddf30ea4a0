// What the settings window's table must give once laid out: the focus order,
// the overlap of Label1(5) under Text5, and room for every control.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "platform/PixelLayout.h"
#include "settings/Form2Layout.h"

namespace rerevure::settings {
namespace {

using platform::ControlKind;
using platform::ControlLayout;
using ::testing::ElementsAre;

const ControlLayout& Find(int id) {
  for (const ControlLayout& control : Form2Layout().controls) {
    if (control.id == id) return control;
  }
  throw std::out_of_range("no such control");
}

std::vector<int> FocusOrder() {
  std::vector<int> order;
  for (const ControlLayout* top : platform::StackingOrder(Form2Layout().controls, 0)) {
    EXPECT_EQ(top->kind, ControlKind::Frame);
    for (const ControlLayout* inner : platform::StackingOrder(Form2Layout().controls, top->id)) {
      if (inner->kind != ControlKind::Label) order.push_back(inner->id);
    }
  }
  return order;
}

TEST(Form2Layout, FocusGoesThroughTheFieldsAndButtonsInTabIndexOrder) {
  EXPECT_THAT(FocusOrder(), ElementsAre(form2::Text1, form2::Text2, form2::Text3, form2::Command1,
                                        form2::Command2, form2::Text4, form2::Text5,
                                        form2::Command3, form2::Text6, form2::Text7));
}

TEST(Form2Layout, Label5ReachesUnderText5AndIsStackedBeneathIt) {
  const ControlLayout& label = Find(form2::Label1(5));
  const ControlLayout& field = Find(form2::Text5);
  EXPECT_EQ(label.left + label.width, 1815);
  EXPECT_GT(label.left + label.width, field.left);
  const auto order = platform::StackingOrder(Form2Layout().controls, form2::Frame1);
  auto position = [&](int id) {
    return std::find_if(order.begin(), order.end(), [&](auto* c) { return c->id == id; }) -
           order.begin();
  };
  EXPECT_LT(position(form2::Text5), position(form2::Label1(5)));
}

TEST(Form2Layout, EveryControlFitsInTheFrameAndTheFrameInTheClientArea) {
  const platform::FormLayout& layout = Form2Layout();
  const ControlLayout& frame = Find(form2::Frame1);
  EXPECT_LE(frame.left + frame.width, layout.client_width);
  EXPECT_LE(frame.top + frame.height, layout.client_height);
  std::set<int> ids;
  for (const ControlLayout& control : layout.controls) {
    EXPECT_TRUE(ids.insert(control.id).second) << control.id;
    EXPECT_GT(control.id, 2) << "ids 1 and 2 are Enter and Esc";
    if (control.kind == ControlKind::Frame) continue;
    EXPECT_EQ(control.container, form2::Frame1);
    EXPECT_LE(control.left + control.width, frame.width) << control.id;
    EXPECT_LE(control.top + control.height, frame.height) << control.id;
    if (control.kind == ControlKind::TextBox) {
      EXPECT_EQ(frame.width - (control.left + control.width), 240) << control.id;
    }
  }
  EXPECT_EQ(ids.size(), 18u);
}

}  // namespace
}  // namespace rerevure::settings
