#pragma once

#include <string>

namespace rerevure::switching {

// Where the school profile reads the drive values, one at a time, at the
// moment it writes the line that needs each. A read may throw.
class SettingsSource {
 public:
  virtual ~SettingsSource() = default;
  virtual std::wstring UserArea() = 0;
  virtual std::wstring SchoolShare() = 0;
  virtual std::wstring StaffShare() = 0;
  virtual std::wstring Extra1() = 0;
  virtual std::wstring Extra2() = 0;
  virtual std::wstring Username() = 0;
  virtual std::wstring Password() = 0;
};

}  // namespace rerevure::switching
