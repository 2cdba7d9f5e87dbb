// The MIDI ports against a private JACK server and real clients: the clock
// that zem sends (jack_midi_dump), a MIDI clock it follows (jack_midi_clock),
// the JACK transport it follows (jack_transport), Control and Program Change
// from a sender (python3-rtmidi), and the one line when there is no MIDI.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "jack_server.h"
#include "window_session.h"

namespace {
using window_test::session;
using window_test::shell;
using window_test::wait_until;

struct midi_event {
  uint64_t frame;
  int byte;
};

// A JACK client run in the background by the shell, ended with the test.
class client {
 public:
  client(const zem_test::jack_server& jack, const std::string& command) {
    const std::string pid = shell(jack.environment() + " " + command + " & echo $!");
    pid_ = static_cast<pid_t>(std::strtol(pid.c_str(), nullptr, 10));
  }
  ~client() {
    if (pid_ > 0) kill(pid_, SIGTERM);
  }

 private:
  pid_t pid_ = 0;
};

// jack_midi_dump under `name`, writing the events that reach name:input.
class midi_dump {
 public:
  midi_dump(const zem_test::jack_server& jack, const std::string& name, std::string path)
      : path_(std::move(path)),
        client_(jack, "jack_midi_dump -a " + name + " >" + path_ + " 2>/dev/null") {}
  std::vector<midi_event> events() const {
    std::vector<midi_event> events;
    std::ifstream in(path_);
    uint64_t frame = 0;
    char colon = 0;
    std::string byte;
    while (in >> frame >> colon >> byte) events.push_back({frame, std::stoi(byte, nullptr, 16)});
    return events;
  }
  // The first frame of each step: every 6th pulse from a Start or Continue.
  std::vector<uint64_t> step_frames() const {
    std::vector<uint64_t> steps;
    int pulse = -1;
    for (const midi_event& e : events()) {
      if (e.byte == 0xFA || e.byte == 0xFB) pulse = 0;
      if (e.byte == 0xF8 && pulse >= 0 && pulse++ % 6 == 0) steps.push_back(e.frame);
    }
    return steps;
  }
  std::string transport_bytes() const {
    std::string bytes;
    for (const midi_event& e : events())
      if (e.byte != 0xF8) bytes += std::to_string(e.byte) + " ";
    return bytes;
  }

 private:
  std::string path_;
  client client_;
};

bool connect(const zem_test::jack_server& jack, const std::string& from, const std::string& to) {
  return wait_until([&] { return jack.ports().find(from + "\n") != std::string::npos; }) &&
         shell(jack.environment() + " jack_connect " + from + " " + to + " 2>&1").empty();
}

void transport(const zem_test::jack_server& jack, const std::string& commands) {
  shell("printf '" + commands + "exit\\n' | " + jack.environment() + " jack_transport >/dev/null");
}

// Steps after the first `settle`, each `length` frames (within `slack`) after the one before.
void expect_steps(const std::vector<uint64_t>& steps, size_t settle, int64_t length,
                  int64_t slack) {
  ASSERT_GT(steps.size(), settle + 8);
  for (size_t i = settle + 1; i < steps.size(); ++i)
    EXPECT_NEAR(static_cast<int64_t>(steps[i] - steps[i - 1]), length, slack) << "step " << i;
}

TEST(MidiPorts, ClockOutPulsesOnEveryStepOfTheRackFromStartToStop) {
  zem_test::jack_server jack;
  ASSERT_TRUE(jack.wait_until_running());
  session zem("31", {jack.environment()});
  midi_dump dump(jack, "clock", zem.folder().file("clock.txt"));
  ASSERT_TRUE(connect(jack, "zem:midi_out", "clock:input")) << jack.ports();
  ASSERT_FALSE(zem.window().empty()) << zem.output();
  ASSERT_TRUE(wait_until([&] { return dump.step_frames().size() >= 16; }));
  zem.quit_with("Escape");
  ASSERT_TRUE(wait_until([&] { return dump.transport_bytes() == "250 252 "; }))
      << dump.transport_bytes();
  // Six pulses a step, the first at the Start, each step 5513 frames (the
  // engines' default step), none missing or extra up to the Stop.
  const auto events = dump.events();
  EXPECT_EQ(events.front().byte, 0xFA);
  EXPECT_EQ(events.front().frame, events[1].frame);
  expect_steps(dump.step_frames(), 0, 5513, 0);
  for (size_t i = 2; i + 1 < events.size(); ++i)
    EXPECT_NEAR(static_cast<double>(events[i].frame - events[i - 1].frame), 918.8, 0.9) << i;
  EXPECT_LE(events.back().frame - events[events.size() - 2].frame, 919u);
}

// The rack follows an outside clock: its own clock out shows where its steps
// begin, and the caption the tempo it heard.
TEST(MidiPorts, FollowsAMidiClockAndTheJackTransport) {
  struct follow_case {
    const char* sync;
    const char* source;  // a clock source to connect to zem:midi_in, or none
    int64_t step, slack;
    const char* shown;
  };
  for (const follow_case& c : {follow_case{"midi", "jack_midi_clock -b 140", 4725, 1, "140.0 BPM"},
                               follow_case{"jack", nullptr, 5513, 1, "120.0 BPM"}}) {
    zem_test::jack_server jack;
    ASSERT_TRUE(jack.wait_until_running());
    transport(jack, "stop\\nlocate 0\\n");
    session zem("31", {jack.environment()}, {"--sync", c.sync});
    midi_dump dump(jack, "clock", zem.folder().file("clock.txt"));
    std::unique_ptr<client> source;
    if (c.source != nullptr) {
      source = std::make_unique<client>(jack, std::string(c.source) + " >/dev/null 2>&1");
      ASSERT_TRUE(connect(jack, "jack_midi_clock:mclk_out", "zem:midi_in")) << jack.ports();
    }
    ASSERT_TRUE(connect(jack, "zem:midi_out", "clock:input")) << jack.ports();
    ASSERT_FALSE(zem.window().empty()) << zem.output();
    transport(jack, "play\\n");
    ASSERT_TRUE(wait_until([&] { return dump.step_frames().size() >= 24; })) << c.sync;
    EXPECT_NE(shell("xdotool getwindowname " + zem.window()).find(c.shown), std::string::npos)
        << shell("xdotool getwindowname " + zem.window());
    transport(jack, "stop\\n");
    ASSERT_TRUE(wait_until([&] { return dump.transport_bytes() == "250 252 "; }))
        << dump.transport_bytes();
    expect_steps(dump.step_frames(), 4, c.step, c.slack);
    // Played on from 10 s in: the song's position, then Continue.
    transport(jack, "locate 441000\\nplay\\n");
    EXPECT_TRUE(wait_until([&] { return dump.transport_bytes() == "250 252 251 "; }))
        << c.sync << ": " << dump.transport_bytes();
    zem.quit_with("Escape");
  }
}

// A sender's Program Change queues a pattern, its Control Change moves the
// switch bound to it. The sound goes to a recording here, so the ports are
// in a JACK client of their own.
TEST(MidiPorts, ProgramAndControlChangeFromAJackSender) {
  zem_test::jack_server jack;
  ASSERT_TRUE(jack.wait_until_running());
  zem_test::temp_folder config;
  std::filesystem::create_directories(config.file("zem"));
  std::ofstream(config.file("zem/midi-bindings.txt"))
      << "channel 1 cc 20 -> panel 1 BUTTON_TOGGLE_POWER\n";
  session zem("42", {jack.environment(), "XDG_CONFIG_HOME=" + config.path().string()});
  ASSERT_FALSE(zem.window().empty()) << zem.output();
  FILE* sender =
      popen((jack.environment() +
             " /usr/bin/python3 -c \"import rtmidi, sys\n"
             "m = rtmidi.MidiOut(rtmidi.API_UNIX_JACK, name='sender')\n"
             "m.open_virtual_port('out')\n"
             "for line in sys.stdin: m.send_message([int(b, 16) for b in line.split()])\"")
                .c_str(),
            "w");
  ASSERT_NE(sender, nullptr);
  ASSERT_TRUE(connect(jack, "sender:out", "zem-midi:midi_in")) << jack.ports();
  const auto send = [&](const char* bytes) { std::fputs(bytes, sender), std::fflush(sender); };
  send("c0 02\nb0 14 00\n");
  EXPECT_TRUE(wait_until([&] {
    const auto widgets = zem.dump();
    return widgets.at("BUTTON_PATTERN_3_0").image == "BUTTON_PATTERN_ON" &&
           widgets.at("BUTTON_TOGGLE_POWER_0").image == "CHK_2_OFF";
  }));
  send("b0 14 7f\n");
  EXPECT_TRUE(
      wait_until([&] { return zem.dump().at("BUTTON_TOGGLE_POWER_0").image == "CHK_2_ON"; }));
  pclose(sender);
  zem.quit_with("Escape");
}

TEST(MidiPorts, WithoutAMidiSystemOneLineSaysSoAndTheProgramPlaysOn) {
  const std::pair<const char*, const char*> cases[] = {
      {"auto", "No MIDI: no JACK server runs, and the ALSA sequencer cannot be opened ("},
      {"jack", "No MIDI: no JACK server runs\n"},
      {"alsa", "No MIDI: the ALSA sequencer cannot be opened ("},
      {"none", nullptr}};
  for (const auto& [choice, line] : cases) {
    session zem("42", {"JACK_DEFAULT_SERVER=zem-test-none-" + std::to_string(getpid())},
                {"--midi", choice});
    ASSERT_FALSE(zem.window().empty()) << zem.output();
    const auto result = zem.quit_with("Escape");
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.out.find(line != nullptr ? line : "No MIDI") != std::string::npos,
              line != nullptr)
        << choice << "\n"
        << result.out;
    EXPECT_TRUE(std::regex_search(result.out, std::regex("Late audio blocks: [0-9]+\n$")));
  }
}
}  // namespace
