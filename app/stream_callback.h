#pragma once
// The callback through which the audio layer pulls each instrument's stream.
#include "fsound.h"
#include "instrument.h"

// The instrument that a stream's user value stands for.
INSTRUMENT* instrument_of(void* user);

// Fills `length` bytes of `buffer` with the next frames of the instrument that
// `user` stands for. The engine is chosen by the instrument's name ("TB303",
// "TB808" or "OSC"); a name that matches none, or names an engine the
// instrument is not, leaves the buffer untouched. Always returns 1.
signed char stream_callback(FSOUND_STREAM* stream, void* buffer, int length, void* user);
