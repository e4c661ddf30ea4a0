#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/MessageBoxes.h"
#include "platform/SessionInstance.h"

namespace rerevure::testing {

// The user's place in the session. An instance "running elsewhere" holds it
// and answers hand-overs as told; when it answers NotRunning (or accepted an
// /exit) it has ended, so the place is free from then on.
class FakeSessionInstance final : public platform::SessionInstance {
 public:
  struct HandedOver {
    std::wstring request;
    bool until_ended;
    std::chrono::milliseconds timeout;
  };

  bool Claim() override {
    if (running_elsewhere) return false;
    held = true;
    return true;
  }
  platform::HandOverResult HandOver(const std::wstring& request, bool until_ended,
                                    std::chrono::milliseconds timeout) override {
    handed.push_back({request, until_ended, timeout});
    platform::HandOverResult answer = platform::HandOverResult::Accepted;
    if (!answers.empty()) {
      answer = answers.front();
      answers.pop_front();
    }
    const bool ended = answer == platform::HandOverResult::NotRunning ||
                       (answer == platform::HandOverResult::Accepted && until_ended);
    if (ended && !another_start_takes_the_place) running_elsewhere = false;
    return answer;
  }
  void Listen(std::function<void(const std::wstring&)> take,
              std::function<void()> carry_out) override {
    taker = std::move(take);
    carrier = std::move(carry_out);
  }

  bool running_elsewhere = false;
  // Yet another start takes the place each time it is freed.
  bool another_start_takes_the_place = false;
  std::deque<platform::HandOverResult> answers;  // then Accepted
  bool held = false;
  std::vector<HandedOver> handed;
  std::function<void(const std::wstring&)> taker;
  std::function<void()> carrier;
};

class FakeMessageBoxes final : public platform::MessageBoxes {
 public:
  void Show(const std::wstring& text, const std::wstring& title, std::uint32_t flags) override {
    shown.push_back(title + L": " + text + L" (" + std::to_wstring(flags) + L")");
  }
  std::vector<std::wstring> shown;  // "<title>: <text> (<flags>)"
};

}  // namespace rerevure::testing
