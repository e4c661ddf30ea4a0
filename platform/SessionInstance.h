#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace rerevure::platform {

// What became of a request handed to the running instance.
enum class HandOverResult {
  Accepted,    // it took the request (and, when asked, its process has ended)
  NoAnswer,    // it did not answer in time
  NotRunning,  // none holds the place any more (it ended meanwhile)
};

// The program's one place in the user's logon session: the first start holds
// it, later starts of the same user in the same session hand their requests
// to the holder. Other users and other sessions have places of their own.
class SessionInstance {
 public:
  virtual ~SessionInstance() = default;

  // Takes the place when no running instance holds it; true when this
  // process now holds it, until it ends.
  virtual bool Claim() = 0;

  // Hands the request text to the instance holding the place, waiting in all
  // at most `timeout` for it to be ready, to accept the request and, when
  // until_ended, for its process to end.
  virtual HandOverResult HandOver(const std::wstring& request, bool until_ended,
                                  std::chrono::milliseconds timeout) = 0;

  // From now on the requests of later starts arrive on the user-interface
  // thread: first at take, while their sender waits, only to be taken in;
  // then carry_out runs, from the message loop, once the sender was told
  // they were accepted.
  virtual void Listen(std::function<void(const std::wstring&)> take,
                      std::function<void()> carry_out) = 0;
};

}  // namespace rerevure::platform
