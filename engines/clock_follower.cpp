#include "clock_follower.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {
// The loop's gains stop falling after this many pulses (two beats).
constexpr int steady_pulses = 48;
// A pulse more than this many periods after the last one ends a pause.
constexpr double pause_periods = 4.0;
// A pulse this far from its prediction (a fraction of the period) is wild.
// Three wild pulses in a row whose intervals, too, differ from the period by
// more than a jittery clock's do mean a new tempo. A clock whose every
// interval jitters wanders off the prediction without changing its tempo:
// the grid is locked to it again, and the tempo estimate kept.
constexpr double wild_error = 0.3;
constexpr int wild_pulses_for_new_tempo = 3;
constexpr double new_tempo_change = 0.15;
// Pulses from 1 BPM to the shortest step.
constexpr double longest_period = step_frames_of_bpm(1.0) / clock_pulses_per_step;
constexpr double shortest_period =
    static_cast<double>(clock_follower::shortest_step) / clock_pulses_per_step;

double bounded_period(double period) {
  return std::clamp(period, shortest_period, longest_period);
}
}  // namespace

void clock_follower::take(const clock_message& message) {
  switch (message.kind) {
    case clock_message_kind::pulse: {
      const int64_t periods = track_pulse(static_cast<double>(message.frame));
      // After a pause the average begins again.
      if (periods != 1) shown_count_ = 0;
      note_shown_pulse(static_cast<double>(message.frame));
      on_pulse(message.frame, periods);
      break;
    }
    case clock_message_kind::start:
      next_song_pulse_ = 0;
      waiting_ = true;
      break;
    case clock_message_kind::resume:
      if (!running_) waiting_ = true;
      break;
    case clock_message_kind::stop:
      running_ = false;
      waiting_ = false;
      break;
    case clock_message_kind::song_position:
      next_song_pulse_ = int64_t{message.song_position} * clock_pulses_per_step;
      if (running_) waiting_ = true;
      break;
  }
}

void clock_follower::restart_tracking(double frame, double period) {
  anchor_ = frame;
  period_ = bounded_period(period);
  pulses_fitted_ = 2;
  shown_count_ = 0;
  wild_pulses_ = 0;
}

// Moves the loop on by one pulse at `frame`; returns how many periods the
// pulse is after the last one (more than 1 after a pause).
int64_t clock_follower::track_pulse(double frame) {
  const double since_last = frame - last_pulse_;
  last_pulse_ = frame;
  recent_intervals_[recent_next_] = since_last;
  recent_next_ = (recent_next_ + 1) % wild_pulses_for_new_tempo;
  if (pulses_fitted_ == 0) {
    anchor_ = frame;
    pulses_fitted_ = 1;
    return 1;
  }
  const double elapsed = frame - anchor_;
  if (elapsed > longest_period || (pulses_fitted_ >= 2 && elapsed > pause_periods * period_)) {
    // A pause: the grid goes on where it was, and locks to this pulse.
    const int64_t periods = std::max<int64_t>(1, std::llround(elapsed / period()));
    anchor_ = frame;
    return periods;
  }
  if (pulses_fitted_ == 1) {
    restart_tracking(frame, elapsed);
    return 1;
  }
  const double predicted = anchor_ + period_;
  const double error = frame - predicted;
  if (std::fabs(error) > wild_error * period_) {
    // The middle one of the last three: one late pulse alone is no new tempo.
    std::array<double, wild_pulses_for_new_tempo> sorted = recent_intervals_;
    std::sort(sorted.begin(), sorted.end());
    const double recent = sorted[sorted.size() / 2];
    if (++wild_pulses_ >= wild_pulses_for_new_tempo) {
      if (std::fabs(recent - period_) > new_tempo_change * period_) {
        restart_tracking(frame, recent);
      } else {
        // Wandered: the grid locks to the clock again, at the same tempo.
        anchor_ = frame;
        wild_pulses_ = 0;
      }
      return 1;
    }
  } else {
    wild_pulses_ = 0;
  }
  // The gains of a straight-line fit through the last n pulses.
  const int n = std::min(pulses_fitted_ + 1, steady_pulses);
  pulses_fitted_ = n;
  const double alpha = 2.0 * (2.0 * n - 1.0) / (n * (n + 1.0));
  const double beta = 6.0 / (n * (n + 1.0));
  const double bounded = std::clamp(error, -0.5 * period_, 0.5 * period_);
  anchor_ = predicted + alpha * bounded;
  period_ = bounded_period(period_ + beta * bounded);
  return 1;
}

void clock_follower::on_pulse(uint64_t frame, int64_t periods) {
  if (waiting_) {
    // The first pulse of a run: the song continues from here.
    waiting_ = false;
    running_ = true;
    rejoin_ = true;
    step_ended_ = false;
    const int64_t song_pulse = next_song_pulse_;
    song_step_ = song_pulse / clock_pulses_per_step;
    const double into_step = static_cast<double>(song_pulse % clock_pulses_per_step) * period();
    step_began_ = frame - std::min<uint64_t>(frame, static_cast<uint64_t>(std::llround(into_step)));
    anchor_song_pulse_ = song_pulse;
    next_song_pulse_ = song_pulse + 1;
    return;
  }
  if (!running_) return;
  anchor_song_pulse_ = next_song_pulse_ + periods - 1;
  next_song_pulse_ = anchor_song_pulse_ + 1;
}

double clock_follower::predicted_frame(int64_t song_pulse) const {
  return anchor_ + static_cast<double>(song_pulse - anchor_song_pulse_) * period();
}

follow_plan clock_follower::plan(uint64_t first_frame, int frames) {
  follow_plan plan;
  if (!running_) {
    step_ended_ = false;
    return plan;
  }
  if (step_ended_) {
    // The rack played the boundary that the last plan put in its block.
    ++song_step_;
    step_began_ = step_end_;
    step_ended_ = false;
  }
  const double predicted = predicted_frame((song_step_ + 1) * clock_pulses_per_step);
  const uint64_t earliest = std::max(step_began_ + shortest_step, first_frame + 1);
  // Frames past 2^62 (millennia of sound) are not predicted: the step ends
  // as early as it may.
  const bool in_reach = predicted > static_cast<double>(earliest) && predicted < 0x1p62;
  const uint64_t ends = in_reach ? static_cast<uint64_t>(std::llround(predicted)) : earliest;
  plan.playing = true;
  plan.rejoin = rejoin_;
  rejoin_ = false;
  plan.song_step = song_step_;
  plan.step_began = step_began_;
  plan.step_ends = ends;
  // A step that ends with the block's last frame begins the next at the
  // following block's first: its step clock counts the end in this block.
  if (ends <= first_frame + static_cast<uint64_t>(frames)) {
    step_ended_ = true;
    step_end_ = ends;
  }
  return plan;
}

void clock_follower::note_shown_pulse(double frame) {
  shown_newest_ = (shown_newest_ + 1) % shown_pulses;
  shown_ring_[shown_newest_] = frame;
  shown_count_ = std::min(shown_count_ + 1, shown_pulses);
}

double clock_follower::shown_bpm() const {
  if (pulses_fitted_ < 2) return 0.0;
  // While the average is young the fit is the best estimate there is.
  double shown_period = period_;
  if (shown_count_ > steady_pulses) {
    const int oldest = (shown_newest_ + shown_pulses - (shown_count_ - 1)) % shown_pulses;
    shown_period = (shown_ring_[shown_newest_] - shown_ring_[oldest]) / (shown_count_ - 1);
  }
  return bpm_of_step_frames(shown_period * clock_pulses_per_step);
}
