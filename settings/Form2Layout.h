#pragma once

#include <string_view>

#include "platform/FormLayout.h"

namespace rerevure::settings {

// The control ids of the settings window `Form2`, named after its controls.
// Ids 1 and 2 are the dialog manager's Enter and Esc, so none is used.
namespace form2 {
inline constexpr int Frame1 = 10;
// `Label1` is a control array; its indexes are 0, 1, 2, 4, 5, 6 and 7.
constexpr int Label1(int index) { return 20 + index; }
inline constexpr int Text1 = 31;
inline constexpr int Text2 = 32;
inline constexpr int Text3 = 33;
inline constexpr int Text4 = 34;
inline constexpr int Text5 = 35;
inline constexpr int Text6 = 36;
inline constexpr int Text7 = 37;
inline constexpr int Command1 = 41;  // "&Save Settings"
inline constexpr int Command2 = 42;  // "&Close"
inline constexpr int Command3 = 43;  // "&Help"
}  // namespace form2

// The seven fields in the order of the registry values they hold.
inline constexpr int kFieldIds[7] = {form2::Text1, form2::Text2, form2::Text3, form2::Text4,
                                     form2::Text5, form2::Text6, form2::Text7};

inline constexpr std::wstring_view kForm2Caption = L"Rerevure Map Drive Settings";
inline constexpr std::wstring_view kExtraDriveTooltip = L"This is for an additional shared drive.";

// The settings window as it looks: every control, in twips.
const platform::FormLayout& Form2Layout();

}  // namespace rerevure::settings
