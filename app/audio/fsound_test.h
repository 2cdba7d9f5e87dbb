#pragma once
// Test-only switch of the audio layer: makes a call of one kind fail with a
// given error code, so that the program's failure paths can be tested without
// a broken device. Nothing in the program calls it.
enum class fsound_fault { init, stream_create, stream_play };

// The call of kind `fault` that comes after `successes_first` successful ones
// fails with `error_code`; the calls after it succeed again.
void fsound_test_fail_next(fsound_fault fault, int error_code, int successes_first = 0);
