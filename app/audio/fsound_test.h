#pragma once
// Test-only switch of the audio layer: makes the next call of one kind fail
// with a given error code, so that the program's failure paths can be tested
// without a broken device. Nothing in the program calls it.
enum class fsound_fault { init, stream_create, stream_play };

void fsound_test_fail_next(fsound_fault fault, int error_code);
