#pragma once
// The FSOUND audio layer: output system and driver selection, initialisation,
// and user streams that the layer pulls through a callback and mixes to the
// output. It runs over PortAudio on Linux, and over JACK's own API for the
// JACK output ("ASIO").
//
// Calls are made on the main thread. Stream callbacks run on the layer's audio
// thread: the PortAudio callback thread for a sound card, JACK's process
// thread, or the layer's own paced thread for "NoSound".
#include <cstdint>
#include <string>

#include "block_listener.h"

class callback_timing;

// Output systems, as given to FSOUND_SetOutput and returned by FSOUND_GetOutput.
enum : int {
  FSOUND_OUTPUT_NOSOUND = 0,       // no device: discard the sound, or record it to a WAV file
  FSOUND_OUTPUT_WAVEOUT = 1,       // OSS when it has output devices, otherwise ALSA
  FSOUND_OUTPUT_DIRECT_SOUND = 2,  // the platform's default audio system
  FSOUND_OUTPUT_OSS = 4,
  FSOUND_OUTPUT_ESD = 5,  // not available: it offers no driver
  FSOUND_OUTPUT_ALSA = 6,
  FSOUND_OUTPUT_ASIO = 7,  // JACK
};

// Error codes returned by FSOUND_GetError.
enum : int {
  FSOUND_ERR_NONE = 0,
  FSOUND_ERR_AFTER_INIT = 1,       // the call is not allowed once initialised
  FSOUND_ERR_NOT_INITIALISED = 2,  // FSOUND_Init has not succeeded
  FSOUND_ERR_INIT_OUTPUT = 3,      // the output device could not be opened or started
  FSOUND_ERR_OUTPUT_BUSY = 4,      // the output device is in use
  FSOUND_ERR_PLAY = 5,             // starting a stream failed
  FSOUND_ERR_FORMAT = 6,           // the device does not take 16-bit stereo at the rate
  FSOUND_ERR_COOPERATIVE_LEVEL = 7,
  FSOUND_ERR_HARDWARE_BUFFER = 8,
  FSOUND_ERR_FILE_NOT_FOUND = 9,
  FSOUND_ERR_FILE_FORMAT = 10,
  FSOUND_ERR_FILE_LOAD = 11,
  FSOUND_ERR_MEMORY = 12,
  FSOUND_ERR_FILE_VERSION = 13,
  FSOUND_ERR_INVALID_PARAM = 14,
  FSOUND_ERR_NO_EAX = 15,
  FSOUND_ERR_CHANNEL_ALLOC = 16,  // the channel is taken by another stream
  FSOUND_ERR_RECORD = 17,
  FSOUND_ERR_CODEC = 18,
};

// Stream mode flags. A stream is 16-bit signed stereo; the flag of bit 24 is
// accepted and has no effect in this layer.
enum : unsigned int {
  FSOUND_16BITS = 0x10,
  FSOUND_STEREO = 0x40,
  FSOUND_SIGNED = 0x100,
  FSOUND_MODE_BIT_24 = 0x1000000,
};

struct FSOUND_STREAM;

// Fills `length` bytes of `buffer` with the stream's next frames. Called on the
// audio thread; the result is not used.
using FSOUND_STREAMCALLBACK = signed char (*)(FSOUND_STREAM* stream, void* buffer, int length,
                                              void* user);

// The version of the layer: 3.74.
float FSOUND_GetVersion();

// Selects the output system before initialisation; false for an unknown code or
// after FSOUND_Init. Selecting a system lists its drivers and selects driver 0.
signed char FSOUND_SetOutput(int output);
int FSOUND_GetOutput();

// The drivers (output devices) of the selected system, its default one first.
int FSOUND_GetNumDrivers();
// The driver's name, or nullptr for an index outside the list.
const char* FSOUND_GetDriverName(int driver);
signed char FSOUND_SetDriver(int driver);

// Opens and starts the selected driver at `mix_rate` with `channels` stream
// channels (at most 64). Non-zero on success; on failure FSOUND_GetError tells why.
signed char FSOUND_Init(int mix_rate, int channels, unsigned int flags);

// The code of the last error.
int FSOUND_GetError();

// Creates a stream pulled through `callback` with `user` as its last argument.
// `length` is the largest buffer the callback is given: the layer pulls blocks
// of fsound_block_frames frames so that edits are heard within milliseconds.
// `mode` must hold 16-bit, stereo and signed; `rate` must be the mix rate.
// nullptr on failure.
FSOUND_STREAM* FSOUND_Stream_Create(FSOUND_STREAMCALLBACK callback, int length, unsigned int mode,
                                    int rate, void* user);

// Starts the stream on `channel`; returns the channel, or -1 on failure.
int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream);

// Stops and frees the stream. Once it returns, its callback is not running and
// will not be called again.
signed char FSOUND_Stream_Close(FSOUND_STREAM* stream);

// Stops the output and frees every stream that is still open.
void FSOUND_Close();

// Our additions.
// Frames per pull of a stream (512 bytes, 2.9 ms): the rack's blocks, the
// same as offline.
constexpr int fsound_block_frames = rack_block_frames;

// Blocks that reached the output late since FSOUND_Init: PortAudio output
// underflows, or for "NoSound" blocks finished after their deadline. Kept after
// FSOUND_Close so that it can be reported at shut-down.
uint64_t fsound_late_blocks();

// How long the output's callbacks took since FSOUND_Init, and the policy its
// thread ran with (callback_timing.h). Kept after FSOUND_Close.
const callback_timing& fsound_callback_timing();

// Streams started between these two calls begin to play in the same block:
// meanwhile the layer mixes silence and pulls no stream.
void fsound_hold_streams();
void fsound_release_streams();

// Called around every block that the layer mixes (block_listener.h), from the
// first block after the last fsound_release_streams. Add and remove listeners
// while no stream plays.
block_listener_list& fsound_block_listeners();

// The rack frame of the next frame that the output's thread takes from the
// mixer (stream_mixer::next_rack_frame): call it on that thread only, between
// two pulls, as a JACK process hook does.
uint64_t fsound_next_rack_frame();
// Any thread: the rack frame of the next block to be mixed, for a reader
// that is not on the output's thread.
uint64_t fsound_rack_frame_estimate();

// Why the recording "NoSound" driver stopped writing its file (a full disk, a
// size limit), in one line; empty while it records, or with another driver.
std::string fsound_recording_failure();

// Why the output stopped playing by itself (the JACK server went away), in
// one line; empty while it plays.
std::string fsound_output_stop_reason();

// The file that the recording "NoSound" driver writes in the working directory.
constexpr const char* fsound_recording_file = "session.wav";
