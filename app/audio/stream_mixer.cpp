#include "stream_mixer.h"

#include <algorithm>
#include <cstring>
#include <thread>

#include "mixer.h"

bool stream_mixer::attach(int channel, FSOUND_STREAM* stream) {
  if (channel < 0 || channel >= max_channels || channel_taken(channel)) return false;
  stream->channel = channel;
  channels_[channel].store(stream);
  return true;
}

void stream_mixer::detach(FSOUND_STREAM* stream) {
  if (stream->channel < 0) return;
  channels_[stream->channel].store(nullptr);
  stream->channel = -1;
  // With the pointer gone, only a block that was already being mixed can still
  // use the stream: wait for that block to end.
  wait_for_block_end();
}

// The audio thread increments the epoch before it reads the channels or the
// hold, so a block that starts after this read sees what was stored before it.
void stream_mixer::wait_for_block_end() {
  const uint64_t epoch = epoch_.load();
  if (epoch % 2 == 0) return;
  while (epoch_.load() == epoch) std::this_thread::sleep_for(std::chrono::microseconds(100));
}

void stream_mixer::hold() {
  held_.store(true);
  wait_for_block_end();
}

void stream_mixer::release() {
  count_afresh_.store(true);
  held_.store(false);
}

bool stream_mixer::channel_taken(int channel) const {
  return channels_[channel].load() != nullptr;
}

void stream_mixer::fill(int16_t* out, size_t frames) {
  size_t done = 0;
  while (done < frames) {
    if (mixed_used_ == fsound_block_frames) {
      mix_block();
      mixed_used_ = 0;
    }
    const size_t n = std::min(frames - done, fsound_block_frames - mixed_used_);
    std::memcpy(out + done * 2, mixed_ + mixed_used_ * 2, n * 2 * sizeof(int16_t));
    mixed_used_ += n;
    done += n;
  }
  frames_out_.fetch_add(frames, std::memory_order_relaxed);
}

uint64_t stream_mixer::next_rack_frame() const {
  const size_t left = fsound_block_frames - mixed_used_;
  if (left == 0) return count_afresh_.load() ? 0 : next_block_frame_;
  return block_counted_ ? next_block_frame_ - left : 0;
}

void stream_mixer::mix_block() {
  epoch_.fetch_add(1);  // odd: a block is being mixed
  block_counted_ = !held_.load();
  if (!block_counted_) {
    std::memset(mixed_, 0, sizeof mixed_);
    epoch_.fetch_add(1);
    return;
  }
  if (count_afresh_.exchange(false)) next_block_frame_ = 0;
  listeners_.before_block(next_block_frame_, fsound_block_frames);
  const int16_t* sources[max_channels];
  int count = 0;
  for (auto& channel : channels_) {
    FSOUND_STREAM* stream = channel.load();
    if (stream == nullptr) continue;
    // A callback that writes nothing (or only part of the block) must give
    // silence, not the previous block again.
    std::memset(stream->block, 0, sizeof stream->block);
    stream->callback(stream, stream->block, static_cast<int>(sizeof stream->block), stream->user);
    sources[count++] = stream->block;
  }
  mix_saturating(sources, count, mixed_, fsound_block_frames * 2);
  listeners_.after_block(next_block_frame_, mixed_, fsound_block_frames);
  next_block_frame_ += fsound_block_frames;
  rack_frame_estimate_.store(next_block_frame_, std::memory_order_relaxed);
  epoch_.fetch_add(1);  // even: no stream in use
}
