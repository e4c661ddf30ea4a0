#include "support/FakeNotifier.h"

namespace rerevure::testing {
namespace {

std::wstring Describe(const FakeNotifier::Call& call) {
  using Kind = FakeNotifier::Kind;
  switch (call.kind) {
    case Kind::Message:
      return L"ShowMessage " + call.text;
    case Kind::WarningMessage:
      return L"ShowWarningMessage " + call.text;
    case Kind::Balloon:
    case Kind::WarningBalloon:
      break;
  }
  return (call.kind == Kind::Balloon ? L"ShowBalloon " : L"ShowWarningBalloon ") + call.title +
         L" | " + call.text + L" | " + std::to_wstring(call.timeout_ms);
}

}  // namespace

void FakeNotifier::Add(Call call) {
  calls.push_back(call);
  Record(journal, Describe(call));
  if (while_shown) while_shown(call);
}

void FakeNotifier::ShowMessage(const std::wstring& text) { Add({Kind::Message, L"", text, 0}); }

void FakeNotifier::ShowBalloon(const std::wstring& title, const std::wstring& text,
                               std::uint32_t timeout_ms) {
  Add({Kind::Balloon, title, text, timeout_ms});
}

void FakeNotifier::ShowWarningMessage(const std::wstring& text) {
  Add({Kind::WarningMessage, L"", text, 0});
}

void FakeNotifier::ShowWarningBalloon(const std::wstring& title, const std::wstring& text,
                                      std::uint32_t timeout_ms) {
  Add({Kind::WarningBalloon, title, text, timeout_ms});
}

}  // namespace rerevure::testing
