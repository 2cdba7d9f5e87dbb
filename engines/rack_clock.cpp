#include "rack_clock.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "sequencer.h"

namespace {
constexpr auto relaxed = std::memory_order_relaxed;
constexpr int64_t longest_counter = std::numeric_limits<int32_t>::max();
}  // namespace

rack_clock::rack_clock(std::span<INSTRUMENT* const, instrument_count> members) {
  std::copy(members.begin(), members.end(), members_.begin());
  // Half a cosine, from nearly full to silent at the block's last frame.
  for (int k = 0; k < rack_block_frames; ++k)
    fade_[k] =
        static_cast<float>(0.5 * (1.0 + std::cos(std::numbers::pi * (k + 1) / rack_block_frames)));
}

void rack_clock::set_bpm(double bpm) {
  if (std::isfinite(bpm)) bpm_.store(clamp_bpm(bpm), relaxed);
}

double rack_clock::bpm() const {
  const double set = bpm_.load(relaxed);
  return set > 0.0 ? set : rack_default_bpm;
}

void rack_clock::set_running(bool running) {
  wanted_.store(running, relaxed);
}

void rack_clock::take_clock_messages(uint64_t before_frame) {
  if (input_ == nullptr) return;
  clock_message message;
  while (input_->take_before(before_frame, message)) follower_.take(message);
}

void rack_clock::before_block(uint64_t first_frame, int frames) {
  take_clock_messages(first_frame);
  follower_.set_assumed_step(step_frames_of_bpm(bpm()));
  // The follower plans every block, followed or not, so that switching to
  // the clock finds the song where it is.
  const follow_plan plan = follower_.plan(first_frame, frames);
  const bool following = sync() != sync_source::internal;
  timing_ = {};
  timing_.first_frame = first_frame;
  timing_.frames = frames;

  if (fading_ && first_frame >= fade_begins_ + rack_block_frames) halt();
  const bool wanted = running_wanted() && (!following || plan.playing);
  if (!wanted) {
    if (playing_ && !fading_) {
      fading_ = any_block_;
      fade_begins_ = first_frame;
      // Before the first block nothing has sounded: silent from frame 0.
      if (!any_block_) halt();
    }
  } else if (!fading_) {
    if (following && (!playing_ || plan.rejoin || !was_following_))
      start_at(plan.song_step, plan.step_began, first_frame);
    else if (!playing_)
      start_at(0, first_frame, first_frame);
  }
  was_following_ = following;

  if (!following)
    apply_tempo();
  else if (plan.playing && playing_)
    aim_steps_at(plan.step_ends, first_frame);
  note_timing(first_frame);
  if (output_ != nullptr) clock_out_.plan(timing_, *output_);
  any_block_ = true;
  shown_playing_.store(playing_ && !fading_, relaxed);
  shown_bpm_.store(following ? follower_.shown_bpm() : bpm(), relaxed);
}

void rack_clock::after_block(uint64_t first_frame, int16_t* mixed, int frames) {
  if (!fading_) return;
  for (int k = 0; k < frames; ++k) {
    const uint64_t into_fade = first_frame + static_cast<uint64_t>(k) - fade_begins_;
    const float gain = into_fade < fade_.size() ? fade_[into_fade] : 0.0f;
    for (int channel = 0; channel < 2; ++channel) {
      int16_t& sample = mixed[2 * k + channel];
      sample = static_cast<int16_t>(static_cast<float>(sample) * gain);
    }
  }
}

void rack_clock::send_final_stop() {
  if (output_ == nullptr) return;
  rack_block_timing end;
  end.first_frame = timing_.first_frame + static_cast<uint64_t>(timing_.frames);
  end.transport = rack_block_timing::change::stop;
  clock_out_.plan(end, *output_);
}

// All five at `song_step` (each modulo its own step count), `first_frame -
// step_began` frames into it.
void rack_clock::start_at(int64_t song_step, uint64_t step_began, uint64_t first_frame) {
  const auto into_step =
      static_cast<int32_t>(std::min<uint64_t>(first_frame - step_began, longest_counter));
  for (INSTRUMENT* member : members_) {
    const int64_t count = std::clamp<int32_t>(member->step_count, 1, pattern_memory_steps);
    member->restart_sequencer(static_cast<int32_t>(song_step % count));
    member->step_sample_counter = into_step;
    member->halted.store(false, relaxed);
  }
  playing_ = true;
  timing_.transport =
      song_step == 0 ? rack_block_timing::change::start : rack_block_timing::change::resume;
}

void rack_clock::halt() {
  for (INSTRUMENT* member : members_) member->halted.store(true, relaxed);
  playing_ = false;
  fading_ = false;
  timing_.transport = rack_block_timing::change::stop;
}

// Until a tempo is set the instruments keep their own step length, so that
// the rack plays as it always has.
void rack_clock::apply_tempo() {
  const double set = bpm_.load(relaxed);
  if (set <= 0.0) return;
  const auto length = static_cast<float>(step_frames_of_bpm(set));
  for (INSTRUMENT* member : members_)
    if (member->samples_per_step != length) member->samples_per_step = length;
}

// Each instrument's step ends at `step_ends`, wherever its own step began.
// The step length holds for the rest of the block, so a step shorter than
// the follower's shortest (an instrument out of step after a pattern load)
// is not made: at most one step begins in a block.
void rack_clock::aim_steps_at(uint64_t step_ends, uint64_t first_frame) {
  const auto ahead = static_cast<int64_t>(step_ends - first_frame);
  for (INSTRUMENT* member : members_) {
    const int64_t length = std::clamp<int64_t>(int64_t{member->step_sample_counter} + ahead,
                                               clock_follower::shortest_step, longest_counter);
    member->samples_per_step = samples_per_step_for(length);
  }
}

// Where the reference member's step began and how long it lasts, as its step
// clock will count it.
void rack_clock::note_timing(uint64_t first_frame) {
  timing_.playing = playing_;
  if (!playing_) return;
  const INSTRUMENT& lead = *members_[0];
  const int64_t counter = std::max<int32_t>(0, lead.step_sample_counter);
  timing_.step_began = first_frame - std::min<uint64_t>(first_frame, counter);
  timing_.step_frames = std::max(frames_of_step(lead.samples_per_step), counter + 1);
}
