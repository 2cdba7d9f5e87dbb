#pragma once
// The callback through which the audio layer pulls each instrument's stream.
#include "fsound.h"
#include "instrument.h"

// Turns a stream's user value back into its instrument.
using user_value_reader = INSTRUMENT* (*)(void* user);

// By default a stream's user value is the instrument itself (the audio tools
// and their tests). The program makes it the panel that holds the instrument
// and installs the panel's reader here before it creates the first stream.
void set_stream_user_reader(user_value_reader reader);

// The instrument that a stream's user value stands for, through the installed reader.
INSTRUMENT* instrument_of(void* user);

// Fills `length` bytes of `buffer` with the next frames of the instrument that
// `user` stands for. The engine is chosen by the instrument's name ("TB303",
// "TB808" or "OSC"); a name that matches none, or names an engine the
// instrument is not, leaves the buffer untouched. Always returns 1.
signed char stream_callback(FSOUND_STREAM* stream, void* buffer, int length, void* user);
