// Command-line parsing of zem-render: the accepted forms and every refusal.
#include "render_arguments.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace {

parse_result parse(std::vector<std::string_view> args, render_options& options) {
  return parse_render_arguments(args, options);
}

std::string error_of(std::vector<std::string_view> args) {
  render_options options;
  const parse_result result = parse(args, options);
  EXPECT_FALSE(result.ok) << "accepted a bad command line";
  EXPECT_EQ(result.error.find('\n'), std::string::npos) << "the message is one line";
  return result.error;
}

}  // namespace

TEST(RenderArguments, FullCommandLineInBothOptionForms) {
  render_options options;
  ASSERT_TRUE(parse({"rack", "--passes", "3", "--set", "2:volume=0.8",
                     "--set=4:pattern_memory[0][3]=1", "--print-state", "out.wav"},
                    options)
                  .ok);
  EXPECT_EQ(options.engine, engine_kind::rack);
  EXPECT_EQ(options.length, length_kind::passes);
  EXPECT_EQ(options.passes, 3u);
  EXPECT_TRUE(options.print_state);
  EXPECT_EQ(options.output, "out.wav");
  ASSERT_EQ(options.assignments.size(), 2u);
  EXPECT_EQ(options.assignments[0].instrument, 2);
  EXPECT_EQ(options.assignments[0].field, "volume");
  EXPECT_EQ(options.assignments[0].value, "0.8");
  EXPECT_EQ(options.assignments[1].instrument, 4);
  EXPECT_EQ(options.assignments[1].field, "pattern_memory[0][3]");

  ASSERT_TRUE(parse({"--frames=100", "osc", "x.wav", "--load", "a.sta"}, options).ok);
  EXPECT_EQ(options.engine, engine_kind::osc);
  EXPECT_EQ(options.length, length_kind::frames);
  EXPECT_EQ(options.frames, 100u);
  EXPECT_EQ(options.load_file, "a.sta");

  ASSERT_TRUE(parse({"tb808", "--seconds", "1.5", "x.wav"}, options).ok);
  EXPECT_EQ(options.length, length_kind::seconds);
  EXPECT_DOUBLE_EQ(options.seconds, 1.5);

  ASSERT_TRUE(parse({"tb303", "x.wav"}, options).ok);
  EXPECT_EQ(options.length, length_kind::one_pass);
  EXPECT_FALSE(options.print_state);
  EXPECT_FALSE(options.load_file);

  ASSERT_TRUE(parse({"--help"}, options).ok);
  EXPECT_TRUE(options.help);
}

TEST(RenderArguments, RefusesMalformedCommandLines) {
  EXPECT_NE(error_of({}).find("ENGINE"), std::string::npos);
  EXPECT_NE(error_of({"tb303"}).find("ENGINE"), std::string::npos);
  EXPECT_NE(error_of({"tb303", "a.wav", "b.wav"}).find("ENGINE"), std::string::npos);
  EXPECT_NE(error_of({"tb909", "a.wav"}).find("unknown engine 'tb909'"), std::string::npos);
  EXPECT_NE(error_of({"TB303", "a.wav"}).find("unknown engine"), std::string::npos);
  EXPECT_NE(error_of({"tb303", "--loud", "a.wav"}).find("unknown option '--loud'"),
            std::string::npos);
  EXPECT_NE(error_of({"tb303", "a.wav", "--frames"}).find("needs a value"), std::string::npos);
  EXPECT_NE(error_of({"tb303", "a.wav", "--set"}).find("--set"), std::string::npos);
  EXPECT_NE(error_of({"tb303", "a.wav", "--load"}).find("--load"), std::string::npos);
  for (const char* tempo : {"19.9", "300.5", "fast"})
    EXPECT_NE(error_of({"rack", "--tempo", tempo, "a.wav"}).find("from 20 to 300"),
              std::string::npos);
  EXPECT_NE(error_of({"tb303", "--clock=c", "a.wav"}).find("takes rack"), std::string::npos);
}

TEST(RenderArguments, RefusesBadLengths) {
  for (const char* bad : {"-1", "1.5", "", "ten", "1e3", "18446744073709551616"})
    EXPECT_NE(error_of({"tb303", "--frames", bad, "a.wav"}).find("non-negative integer"),
              std::string::npos)
        << bad;
  for (const char* bad : {"-0.5", "nan", "inf", "1s"})
    EXPECT_NE(error_of({"tb303", "--seconds", bad, "a.wav"}).find("non-negative number"),
              std::string::npos)
        << bad;
  EXPECT_NE(error_of({"tb303", "--frames", "1", "--passes", "1", "a.wav"}).find("only once"),
            std::string::npos);
  EXPECT_NE(error_of({"tb303", "--seconds", "1", "--seconds", "2", "a.wav"}).find("only once"),
            std::string::npos);
}

TEST(RenderArguments, SetNeedsFieldAndValueAndTheRightPrefix) {
  for (const char* bad : {"volume", "volume=", "=1", "x:volume=1", "-1:volume=1", ":volume=1"})
    EXPECT_NE(error_of({"rack", "--set", bad, "a.wav"}).find("[INSTRUMENT:]FIELD=VALUE"),
              std::string::npos)
        << bad;
  EXPECT_NE(error_of({"rack", "--set", "volume=1", "a.wav"}).find("instrument number"),
            std::string::npos);
  EXPECT_NE(error_of({"tb303", "--set", "1:volume=1", "a.wav"}).find("only for rack"),
            std::string::npos);

  field_assignment assignment;
  ASSERT_TRUE(parse_field_assignment("filter_level=-300", assignment));
  EXPECT_FALSE(assignment.instrument);
  EXPECT_EQ(assignment.value, "-300");
  ASSERT_TRUE(parse_field_assignment("0:step_frequencies[2]=4=4", assignment));
  EXPECT_EQ(assignment.instrument, 0);
  EXPECT_EQ(assignment.field, "step_frequencies[2]");
  EXPECT_EQ(assignment.value, "4=4");  // split at the first '='; the value is refused later
}

TEST(RenderArguments, NumbersAreParsedWhole) {
  EXPECT_EQ(parse_int32("-2147483648"), INT32_MIN);
  EXPECT_EQ(parse_int32("+7"), 7);
  EXPECT_FALSE(parse_int32("2147483648"));
  EXPECT_FALSE(parse_int32("1.0"));
  EXPECT_FALSE(parse_int32("3 "));
  EXPECT_FALSE(parse_int32("+-3"));
  EXPECT_EQ(parse_finite_float("0.8"), 0.8f);
  EXPECT_EQ(parse_finite_float("-1e3"), -1000.0f);
  EXPECT_EQ(parse_finite_float("4"), 4.0f);
  EXPECT_FALSE(parse_finite_float("nan"));
  EXPECT_FALSE(parse_finite_float("-inf"));
  EXPECT_FALSE(parse_finite_float("1e39"));  // beyond the float range
  EXPECT_FALSE(parse_finite_float("0.5x"));
  EXPECT_FALSE(parse_count("-0"));
}
