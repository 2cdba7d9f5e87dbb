#include "render_command.h"

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <string_view>
#include <vector>

#include "clock_file.h"
#include "pattern_file.h"
#include "render_files.h"
#include "render_session.h"
#include "session_options.h"
#include "wav_writer.h"
#include "write_limit.h"

namespace {

volatile std::sig_atomic_t interrupted_by = 0;

void note_interruption(int signal_number) {
  interrupted_by = signal_number;
}

// An interrupted render stops at the next block, so that the temporary file
// is removed rather than left behind.
void catch_interruptions() {
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal_number, note_interruption);
}

int fail(const std::string& message) {
  std::fprintf(stderr, "zem-render: %s\n", message.c_str());
  return render_exit_error;
}

// A progress line on a terminal, redrawn a few times a second.
class progress_line {
 public:
  explicit progress_line(uint64_t total)
      : total_(total), shown_(::isatty(STDERR_FILENO) && total >= 10ull * render_sample_rate) {}
  void update(uint64_t done) {
    if (!shown_) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < std::chrono::milliseconds(200) && done < total_) return;
    last_ = now;
    std::fprintf(stderr, "\rzem-render: %.1f of %.1f s (%3d%%)", double(done) / render_sample_rate,
                 double(total_) / render_sample_rate, int(100.0 * double(done) / double(total_)));
  }
  void finish() {
    if (shown_) std::fputc('\n', stderr);
  }

 private:
  uint64_t total_;
  bool shown_;
  std::chrono::steady_clock::time_point last_{};
};

int render_to_file(render_session& session, uint64_t frames, const std::string& path) {
  wav_writer writer;
  if (!writer.open(path, render_sample_rate, wav_writer::placement::replace, frames))
    return fail(writer.error());
  std::vector<int16_t> block(2 * render_session::block_frames);
  progress_line progress(frames);
  for (uint64_t done = 0; done < frames;) {
    if (interrupted_by) {
      progress.finish();
      return 128 + interrupted_by;  // the writer removes its temporary file
    }
    const int chunk = int(std::min<uint64_t>(frames - done, render_session::block_frames));
    session.render_block(block.data(), chunk);
    if (!writer.append(block.data(), chunk)) return fail(writer.error());
    done += chunk;
    progress.update(done);
  }
  progress.finish();
  if (!writer.finish()) return fail(writer.error());
  return render_exit_ok;
}

}  // namespace

std::optional<uint64_t> requested_frames(const render_options& options, double pass_frames,
                                         std::string& error) {
  double frames = 0;
  switch (options.length) {
    case length_kind::one_pass:
      frames = pass_frames;
      break;
    case length_kind::frames:
      frames = double(options.frames);
      break;
    case length_kind::seconds:
      frames = std::round(options.seconds * render_sample_rate);
      break;
    case length_kind::passes:
      frames = double(options.passes) * pass_frames;
      break;
  }
  if (!(frames <= double(wav_max_frames))) {
    error = "the render is too long for a WAV file (at most " + std::to_string(wav_max_frames) +
            " frames)";
    return std::nullopt;
  }
  return uint64_t(frames);
}

int run_zem_render(int argc, char** argv) {
  report_writes_past_size_limit();
  std::vector<std::string_view> args(argv + 1, argv + argc);
  render_options options;
  const parse_result parsed = parse_render_arguments(args, options);
  if (!parsed.ok) return fail(parsed.error);
  if (options.help) {
    std::fputs(render_usage, stdout);
    return render_exit_ok;
  }
  if (const std::string clash = file_clash(command_files(options)); !clash.empty())
    return fail(clash);

  render_session session(options.engine);
  rack_session saved;
  std::string error;
  // A pattern file or session first, then the --set options over it, then the
  // saves, the tempo before the session that keeps it.
  if (options.load_file && !load_pattern(*session.instruments()[0], *options.load_file, error))
    return fail(error);
  if (!open_session_option(options, session, saved, error)) return fail(error);
  for (const field_assignment& assignment : options.assignments)
    if (!session.apply(assignment, error)) return fail(error);
  if (options.save_file && !save_pattern(*session.instruments()[0], *options.save_file, error))
    return fail(error);
  if (options.tempo) session.set_tempo(*options.tempo);
  if (!save_session_option(options, session, saved, error)) return fail(error);
  if (options.clock_file) {
    std::vector<clock_message> messages;
    if (!load_clock_file(*options.clock_file, messages, error)) return fail(error);
    session.follow(std::move(messages));
  }
  const auto frames = requested_frames(options, session.pass_frames(), error);
  if (!frames) return fail(error);

  catch_interruptions();
  const int status = render_to_file(session, *frames, options.output);
  if (status != render_exit_ok) return status;
  if (options.print_state) {
    session.print_state();
    std::fflush(stdout);
  }
  return render_exit_ok;
}
