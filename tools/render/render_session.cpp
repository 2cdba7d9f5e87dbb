#include "render_session.h"

#include <algorithm>
#include <cmath>

#include "engine_dispatch.h"
#include "field_registry.h"
#include "sequencer.h"

namespace {

std::unique_ptr<INSTRUMENT> make_engine(engine_kind engine) {
  const char* name = engine == engine_kind::tb303   ? "TB303"
                     : engine == engine_kind::tb808 ? "TB808"
                                                    : "OSC";
  return find_engine(name)->make();
}

}  // namespace

double pass_frames_of(const INSTRUMENT& instrument) {
  // A pass ends at step_count, and never runs past the pattern memory; a
  // step count of 0 or less ends the pass at the first boundary.
  const double steps = std::clamp<int32_t>(instrument.step_count, 1, pattern_memory_steps);
  // The step ends when the counter exceeds samples_per_step; the counter
  // counts at least one frame.
  const double step_frames = std::max(1.0, std::floor(double(instrument.samples_per_step)) + 1);
  return steps * step_frames;
}

render_session::render_session(engine_kind engine) {
  if (engine == engine_kind::rack) {
    rack_ = std::make_unique<engine_rack>();
    instruments_.assign(rack_->instruments().begin(), rack_->instruments().end());
    clock_ = std::make_unique<rack_clock>(rack_->instruments());
    rack_->listeners().add(clock_.get());
  } else {
    single_ = make_engine(engine);
    instruments_ = {single_.get()};
  }
}

bool render_session::apply(const field_assignment& assignment, std::string& error) {
  INSTRUMENT* target = single_.get();
  if (rack_) {
    target = assignment.instrument ? rack_->find_by_number(*assignment.instrument) : nullptr;
    if (!target) {
      error = "no instrument number " +
              (assignment.instrument ? std::to_string(*assignment.instrument) : "given") +
              " in the rack (0 to " + std::to_string(instrument_count - 1) + ")";
      return false;
    }
  }
  return set_field(*target, assignment.field, assignment.value, error);
}

void render_session::set_tempo(double bpm) {
  if (clock_) clock_->set_bpm(bpm);
  // The rack's clock writes the same step length at the first block; written
  // here too, a pass is measured at the tempo.
  for (INSTRUMENT* instrument : instruments_)
    instrument->samples_per_step = static_cast<float>(step_frames_of_bpm(clamp_bpm(bpm)));
}

void render_session::follow(std::vector<clock_message> messages) {
  if (!clock_) return;
  clock_input_ = std::make_unique<clock_message_list>(std::move(messages));
  clock_->set_clock_input(clock_input_.get());
  clock_->set_sync(sync_source::midi_clock);
}

double render_session::pass_frames() const {
  double longest = 0;
  for (const INSTRUMENT* instrument : instruments_)
    longest = std::max(longest, pass_frames_of(*instrument));
  return longest;
}

void render_session::render_block(int16_t* out, int frames) {
  if (rack_)
    rack_->render_mixed(out, frames);
  else
    render_instrument(*single_, nullptr, out, frames * 4, nullptr);
}

void render_session::print_state() const {
  for (INSTRUMENT* instrument : instruments_) instrument->print_state();
}
