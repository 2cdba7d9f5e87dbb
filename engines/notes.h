#pragma once
// Note numbers and step frequencies. The bass-line patterns hold frequencies in
// hertz; the panels show them as note numbers.
#include <cstdint>

// 8.1757989 Hz times 2 to the power (n + 11) / 12 (integer division): whole
// octaves only, notes 0 to 49 give 8.18, 16.35, 32.70, 65.41, 130.81, 261.63 Hz.
float note_to_frequency(int32_t n);

// sqrt(f / 8.1757989) * 12 - 11, truncated toward zero. Used to print steps; it
// is not the inverse of note_to_frequency (the six octaves above print as 1, 5,
// 13, 22, 37, 56). A frequency with no such number (negative, not a number)
// prints as 0; a result beyond the 32-bit range is limited to it.
int32_t frequency_to_note(float f);

// The frequency of note number n in equal temperament from the same lowest
// note: 8.1757989 Hz times 2 to the power n / 12, so note 69 sounds at 440 Hz
// and n may lie between two notes. The scale a controller plays the note
// knobs on.
double tempered_note_frequency(double n);
