#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "support/CallJournal.h"
#include "switching/Notifier.h"

namespace rerevure::testing {

// Records every way the user was told something, in order.
class FakeNotifier final : public switching::Notifier {
 public:
  enum class Kind { Message, Balloon, WarningMessage, WarningBalloon };
  struct Call {
    Kind kind = Kind::Message;
    std::wstring title;  // balloons only
    std::wstring text;
    std::uint32_t timeout_ms = 0;  // balloons only
    friend bool operator==(const Call&, const Call&) = default;
  };

  void ShowMessage(const std::wstring& text) override;
  void ShowBalloon(const std::wstring& title, const std::wstring& text,
                   std::uint32_t timeout_ms) override;
  void ShowWarningMessage(const std::wstring& text) override;
  void ShowWarningBalloon(const std::wstring& title, const std::wstring& text,
                          std::uint32_t timeout_ms) override;

  std::vector<Call> calls;
  // Runs while the box or balloon is "shown", after the call is recorded: a
  // test can look at the world at that moment, or throw to make the call fail.
  std::function<void(const Call&)> while_shown;
  // "ShowMessage <text>", "ShowBalloon <title> | <text> | <timeout>", and the
  // same with ShowWarningMessage / ShowWarningBalloon.
  CallJournal* journal = nullptr;

 private:
  void Add(Call call);
};

}  // namespace rerevure::testing
