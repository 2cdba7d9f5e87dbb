#include "step_events.h"

#include <gtest/gtest.h>

#include "step_event_recorder.h"

namespace {

TEST(StepEvents, PostsCodeAndTextOfEachKind) {
  step_event_recorder events;
  EXPECT_EQ(post_pass_end_event(1, 5), 1);
  EXPECT_EQ(post_step_event(2, 0), 1);
  EXPECT_EQ(post_pass_end_event(3, 12), 1);
  EXPECT_EQ(post_step_event(-1, -2147483647 - 1), 1);
  const std::vector<recorded_step_event> expected = {
      {pass_end_event_code, "1_BEEP_5"},
      {step_event_code, "2_BEEP_0"},
      {pass_end_event_code, "3_BEEP_12"},
      {step_event_code, "-1_BEEP_-2147483648"},
  };
  EXPECT_EQ(events.events(), expected);
}

// With no poster installed the events go nowhere, and posting still succeeds.
TEST(StepEvents, WithoutAPosterEventsAreDropped) {
  { step_event_recorder events; }
  EXPECT_EQ(post_pass_end_event(4, 4), 1);
  EXPECT_EQ(post_step_event(4, 4), 1);
}

}  // namespace
