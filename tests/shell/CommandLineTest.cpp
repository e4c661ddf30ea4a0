// The command line and the hand-over decision of a start, against a fake of
// the user's place in the session.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "shell/CommandLine.h"
#include "shell/InstanceHandOver.h"
#include "support/FakeSessionInstance.h"

namespace rerevure::shell {
namespace {

using platform::HandOverResult;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using enum Request;

struct ParseRow {
  std::vector<std::wstring> arguments;
  std::vector<Request> requests;
  std::optional<std::wstring> unknown;
};

TEST(CommandLineTest, ParsesEveryArgumentInAnyCaseWithEitherPrefix) {
  const ParseRow rows[] = {
      {{}, {}, std::nullopt},
      {{L"/school"}, {School}, std::nullopt},
      {{L"-SCHOOL"}, {School}, std::nullopt},
      {{L"/Home"}, {Home}, std::nullopt},
      {{L"-home"}, {Home}, std::nullopt},
      {{L"/SHOW"}, {Show}, std::nullopt},
      {{L"-Show"}, {Show}, std::nullopt},
      {{L"/exit"}, {Exit}, std::nullopt},
      {{L"-eXiT"}, {Exit}, std::nullopt},
      // Several: all of them, in the order given.
      {{L"/school", L"-show"}, {School, Show}, std::nullopt},
      {{L"/home", L"/exit", L"/school"}, {Home, Exit, School}, std::nullopt},
      // One unknown refuses the whole line.
      {{L"/school", L"/schol"}, {}, L"/schol"},
      {{L"school"}, {}, L"school"},
      {{L"/"}, {}, L"/"},
      {{L"--home"}, {}, L"--home"},
      {{L"/home "}, {}, L"/home "},
      {{L"/help", L"/bad"}, {}, L"/help"},
  };
  for (const ParseRow& row : rows) {
    const CommandLine parsed = ParseCommandLine(row.arguments);
    const std::wstring line = row.arguments.empty() ? L"" : row.arguments.front();
    EXPECT_EQ(parsed.requests, row.requests)
        << "first argument: " << ::testing::PrintToString(line);
    EXPECT_EQ(parsed.unknown, row.unknown) << "first argument: " << ::testing::PrintToString(line);
  }
}

TEST(CommandLineTest, RequestsTravelAsTextAndBack) {
  const std::vector<Request> requests{School, Show, Home, Exit};
  EXPECT_EQ(RequestsText(requests), L"/school /show /home /exit");
  EXPECT_EQ(ParseRequests(RequestsText(requests)), requests);
  // Whatever else reaches the running instance is not carried out.
  EXPECT_THAT(ParseRequests(L"/school /format"), IsEmpty());
}

struct StartRow {
  const char* name;
  std::vector<std::wstring> arguments;
  bool running_elsewhere;
  std::vector<HandOverResult> answers;
  // Expected:
  bool start_here;
  std::vector<Request> requests;  // carried out after load by a start here
  int exit_code;
  std::vector<std::wstring> handed;  // requests handed over, in order
  bool until_ended;
};

TEST(InstanceHandOverTest, DecidesBetweenStartingAndHandingOver) {
  constexpr auto kAccepted = HandOverResult::Accepted;
  constexpr auto kNoAnswer = HandOverResult::NoAnswer;
  constexpr auto kGone = HandOverResult::NotRunning;
  const StartRow rows[] = {
      {"first start, no argument", {}, false, {}, true, {}, 0, {}, false},
      {"first start for a script", {L"/home"}, false, {}, true, {Home}, 0, {}, false},
      {"first start, several",
       {L"/school", L"/show"},
       false,
       {},
       true,
       {School, Show},
       0,
       {},
       false},
      {"exit, none running", {L"/exit"}, false, {}, false, {}, 0, {}, false},
      {"second start shows", {}, true, {kAccepted}, false, {}, 0, {L"/show"}, false},
      {"second start switches", {L"-SCHOOL"}, true, {kAccepted}, false, {}, 0, {L"/school"}, false},
      {"exit waits for the end", {L"/exit"}, true, {kAccepted}, false, {}, 0, {L"/exit"}, true},
      {"several in one",
       {L"/home", L"/exit"},
       true,
       {kAccepted},
       false,
       {},
       0,
       {L"/home /exit"},
       true},
      {"no answer", {L"/home"}, true, {kNoAnswer}, false, {}, 1, {L"/home"}, false},
      {"exit, no answer", {L"/exit"}, true, {kNoAnswer}, false, {}, 1, {L"/exit"}, true},
      {"running one just ended", {L"/home"}, true, {kGone}, true, {Home}, 0, {L"/home"}, false},
      {"exit, running one just ended", {L"/exit"}, true, {kGone}, false, {}, 0, {L"/exit"}, true},
  };
  for (const StartRow& row : rows) {
    SCOPED_TRACE(row.name);
    testing::FakeSessionInstance instance;
    instance.running_elsewhere = row.running_elsewhere;
    instance.answers.assign(row.answers.begin(), row.answers.end());
    testing::FakeMessageBoxes boxes;

    const StartDecision decision = DecideStart(ParseCommandLine(row.arguments), instance, boxes);

    EXPECT_EQ(decision.start_here, row.start_here);
    EXPECT_EQ(decision.requests, row.requests);
    if (!row.start_here) {
      EXPECT_EQ(decision.exit_code, row.exit_code);
    }
    std::vector<std::wstring> handed;
    for (const auto& hand_over : instance.handed) {
      handed.push_back(hand_over.request);
      EXPECT_EQ(hand_over.until_ended, row.until_ended);
      EXPECT_EQ(hand_over.timeout, std::chrono::seconds(10));
    }
    EXPECT_EQ(handed, row.handed);
    EXPECT_THAT(boxes.shown, IsEmpty());
  }
}

TEST(InstanceHandOverTest, AnUnknownArgumentIsAnsweredWithTheUsageAndNothingElse) {
  for (const bool running_elsewhere : {false, true}) {
    testing::FakeSessionInstance instance;
    instance.running_elsewhere = running_elsewhere;
    testing::FakeMessageBoxes boxes;

    const StartDecision decision = DecideStart(
        ParseCommandLine(std::vector<std::wstring>{L"/school", L"/Nope"}), instance, boxes);

    EXPECT_FALSE(decision.start_here);
    EXPECT_EQ(decision.exit_code, 2);
    EXPECT_FALSE(instance.held);
    EXPECT_THAT(instance.handed, IsEmpty());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_THAT(boxes.shown[0], HasSubstr(L"Rerevure: Unknown argument: /Nope\r\n"));
    EXPECT_THAT(boxes.shown[0], HasSubstr(L"Rerevure.exe /exit"));
  }
}

TEST(InstanceHandOverTest, InstancesEndingAndStartingInARowAreNotWaitedForForever) {
  testing::FakeSessionInstance instance;
  instance.running_elsewhere = true;
  instance.another_start_takes_the_place = true;
  instance.answers = {HandOverResult::NotRunning, HandOverResult::NotRunning,
                      HandOverResult::NotRunning, HandOverResult::NotRunning};
  testing::FakeMessageBoxes boxes;

  const StartDecision decision = DecideStart(ParseCommandLine({}), instance, boxes);

  EXPECT_FALSE(decision.start_here);
  EXPECT_EQ(decision.exit_code, 1);
  EXPECT_EQ(instance.handed.size(), 3u);
}

}  // namespace
}  // namespace rerevure::shell
