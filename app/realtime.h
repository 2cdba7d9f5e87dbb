#pragma once
// Keeping the sound on time on a busy machine. Each output asks for a
// real-time policy for its own thread; this locks the process's memory so
// that the audio thread never waits for a page that the system put away.

// Locks the memory that the process uses and will use, where the system
// allows it. Otherwise prints one line that says so and why, and the
// program plays on as before. (A sanitizer build, whose shadow memory is
// far too large to lock, locks nothing and says nothing.)
void lock_memory();
