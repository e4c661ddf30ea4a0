#pragma once

#include <string>

namespace rerevure::switching {

// The seven drive-mapping values, named as their registry values are.
struct DriveSettings {
  std::wstring UserArea;     // drive h:, mapped with the credentials below
  std::wstring SchoolShare;  // drive i:
  std::wstring StaffShare;   // drive j:
  std::wstring Extra1;       // drive k:
  std::wstring Extra2;       // drive l:
  std::wstring Username;
  std::wstring Password;

  friend bool operator==(const DriveSettings&, const DriveSettings&) = default;
};

}  // namespace rerevure::switching
