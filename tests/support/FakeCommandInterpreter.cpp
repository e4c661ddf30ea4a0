#include "support/FakeCommandInterpreter.h"

namespace rerevure::testing {

class FakeCommandInterpreter::Process final : public platform::StartedProcess {
 public:
  explicit Process(FakeCommandInterpreter& owner) : owner_(owner) {
    ++owner_.kept_;
    ++owner_.running_;
    owner_.last_ = this;
  }
  // As a job closed: whatever still runs ends, unannounced.
  ~Process() override {
    --owner_.kept_;
    Stop();
    if (owner_.last_ == this) owner_.last_ = nullptr;
  }
  void WhenEnded(std::function<void()> ended) override { ended_ = std::move(ended); }
  bool WaitForEnd(std::chrono::milliseconds timeout) override {
    Record(owner_.journal, L"Wait " + std::to_wstring(timeout.count()));
    if (owner_.ends_while_waited) Stop();
    return !running_;
  }
  void Terminate() override {
    Record(owner_.journal, L"Terminate");
    ended_ = nullptr;
    Stop();
  }
  void End() {
    Record(owner_.journal, L"Ended");
    Stop();
    // Taken first, as the message loop does: the call may drop this object.
    auto ended = std::move(ended_);
    ended_ = nullptr;
    if (ended) ended();
  }

 private:
  void Stop() {
    if (running_) --owner_.running_;
    running_ = false;
  }

  FakeCommandInterpreter& owner_;
  bool running_ = true;
  std::function<void()> ended_;
};

void FakeCommandInterpreter::End() {
  if (last_) last_->End();
}

std::unique_ptr<platform::StartedProcess> FakeCommandInterpreter::StartInSystemFolder(
    const std::wstring& program, const std::wstring& command_line) {
  Record(journal, L"Start " + command_line);
  if (start_failure) throw *start_failure;
  starts.push_back({program, command_line});
  return std::make_unique<Process>(*this);
}

}  // namespace rerevure::testing
