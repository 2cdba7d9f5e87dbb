// The MIDI ports against a private JACK server and real clients: jack_midi_dump,
// jack_midi_clock, jack_transport, a python3-rtmidi sender; and the one line
// when there is no MIDI.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

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
struct client {
  client(const zem_test::jack_server& jack, const std::string& command)
      : pid(std::atoi(shell(jack.environment() + " " + command + " & echo $!").c_str())) {}
  ~client() { kill(pid, SIGTERM); }
  const pid_t pid;
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
    midi_event e{};
    char colon = 0;
    while (in >> e.frame >> colon >> std::hex >> e.byte >> std::dec) events.push_back(e);
    return events;
  }
  // The first frame of each step since the last Start: every 6th pulse from
  // it, or from a Continue.
  std::vector<uint64_t> step_frames() const {
    std::vector<uint64_t> steps;
    int pulse = -1;
    for (const midi_event& e : events()) {
      if (e.byte == 0xFA) steps.clear();
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

// The clock that the rack sends, on its own (started again with Space once
// the dump is connected) and following an outside clock: Start, six pulses a
// step with the first on the step's first frame (none missing or extra, or
// the steps would drift), and Stop; the caption shows the tempo heard. A
// followed song played on from 10 s in takes Continue.
TEST(MidiPorts, ClockOutOnEveryStepAloneAndFollowingAMidiClockOrTheTransport) {
  struct follow_case {  // source: a clock to connect to zem:midi_in, or none
    const char *sync, *source, *shown;
    int64_t step, slack;
  };
  for (const follow_case& c : {follow_case{"internal", nullptr, "", 5513, 0},
                               {"midi", "jack_midi_clock -b 140", "140.0 BPM", 4725, 1},
                               follow_case{"jack", nullptr, "120.0 BPM", 5513, 64}}) {
    zem_test::jack_server jack;
    ASSERT_TRUE(jack.wait_until_running());
    // The sound, and with it the rack's Start, once the dump listens.
    session zem("3", {jack.environment()}, {"--sync", c.sync});
    midi_dump dump(jack, "clock", zem.folder().file("clock.txt"));
    ASSERT_TRUE(wait_until([&] { return jack.ports().find("clock:input") != std::string::npos; }));
    zem.type("1");
    std::unique_ptr<client> source;
    if (c.source != nullptr) {
      source = std::make_unique<client>(jack, std::string(c.source) + " >/dev/null 2>&1");
      ASSERT_TRUE(connect(jack, "jack_midi_clock:mclk_out", "zem:midi_in")) << jack.ports();
    }
    ASSERT_TRUE(connect(jack, "zem:midi_out", "clock:input")) << jack.ports();
    ASSERT_FALSE(zem.window().empty()) << zem.output();
    const auto last_transport_byte = [&](const std::string& byte) {
      const std::string bytes = dump.transport_bytes();
      return bytes.size() >= byte.size() &&
             bytes.compare(bytes.size() - byte.size(), byte.size(), byte) == 0;
    };
    // On its own clock: stopped and started again, each press until it is heard.
    for (const char* byte : {"252 ", "250 "})
      for (int press = 0; c.slack == 0 && press < 3 && !last_transport_byte(byte); ++press) {
        zem.key("space");
        wait_until([&] { return last_transport_byte(byte); }, 5);
      }
    transport(jack, "play\\n");
    ASSERT_TRUE(wait_until([&] { return dump.step_frames().size() >= 24; }))
        << c.sync << ": " << dump.transport_bytes() << dump.events().size() << " events";
    EXPECT_TRUE(wait_until([&] {
      return shell("xdotool getwindowname " + zem.window()).find(c.shown) != std::string::npos;
    })) << c.sync;
    if (c.slack == 0) zem.quit_with("Escape");  // on its own clock
    transport(jack, "stop\\n");
    ASSERT_TRUE(wait_until([&] { return last_transport_byte("250 252 "); }))
        << c.sync << ": " << dump.transport_bytes();
    // The last Start goes with the first pulse of its step.
    const auto events = dump.events();
    size_t start = events.size() - 1;
    while (start > 0 && events[start].byte != 0xFA) --start;
    ASSERT_LT(start + 1, events.size());
    EXPECT_EQ(events[start].frame, events[start + 1].frame) << c.sync;
    expect_steps(dump.step_frames(), 4, c.step, c.slack);
    if (c.slack == 0) continue;
    transport(jack, "locate 441000\\nplay\\n");
    EXPECT_TRUE(wait_until([&] { return dump.transport_bytes() == "250 252 251 "; }))
        << c.sync << ": " << dump.transport_bytes();
    zem.quit_with("Escape");
  }
}

// A sender's Program Change queues a pattern, its Control Change moves the bound
// switch, and the volume knobs of all five, heard in the recording. The sound
// goes to a recording: the ports are in a client of their own.
TEST(MidiPorts, ProgramAndControlChangeFromAJackSender) {
  zem_test::jack_server jack;
  ASSERT_TRUE(jack.wait_until_running());
  zem_test::temp_folder config;
  std::filesystem::create_directories(config.file("zem"));
  std::ofstream bindings(config.file("zem/midi-bindings.txt"));
  bindings << "channel 1 cc 20 -> panel 1 BUTTON_TOGGLE_POWER\n";
  for (int panel = 1; panel <= 5; ++panel)  // controllers 21 to 25 (0x15 to 0x19)
    bindings << "channel 1 cc " << 20 + panel << " -> panel " << panel << " SLD_1_BASE\n";
  bindings.close();
  session zem("42", {jack.environment(), "XDG_CONFIG_HOME=" + config.path().string()});
  ASSERT_FALSE(zem.window().empty()) << zem.output();
  FILE* sender = popen((jack.environment() + " /usr/bin/python3 -c \"import rtmidi, sys\n" +
                        "m = rtmidi.MidiOut(rtmidi.API_UNIX_JACK, name='sender')\n" +
                        "m.open_virtual_port('out')\nfor l in sys.stdin: " +
                        "m.send_message([int(b, 16) for b in l.split()])\"")
                           .c_str(),
                       "w");
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
  send("b0 15 00\nb0 16 00\nb0 17 00\nb0 18 00\nb0 19 00\n");
  EXPECT_TRUE(wait_until([&] { return level_from_now(zem) == 0; }));
  send("b0 15 7f\nb0 16 7f\nb0 17 7f\nb0 18 7f\nb0 19 7f\n");
  EXPECT_TRUE(wait_until([&] { return level_from_now(zem) > 1000; }));
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
