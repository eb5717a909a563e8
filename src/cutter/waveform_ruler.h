#pragma once

#include <cstdint>

namespace sw {

// The distance in frames between two labelled marks of the time ruler: the shortest "round"
// distance that leaves at least minPixels between labels. Counting frames it is 1, 2 or 5 times
// a power of ten; showing time codes at framesPerSecond whole frames a second it is a round
// number of frames under a second, then 1, 2, 5, 10, 15 or 30 seconds or minutes, then hours.
int64_t RulerStep(double framesPerPixel, double minPixels, int32_t framesPerSecond);

// How many parts the unlabelled ticks cut a step into (5, 4, 3 or 2, whichever divides it
// evenly with at least minPixels between ticks), 1 for none.
int32_t RulerDivisions(int64_t step, double framesPerPixel, double minPixels);

}  // namespace sw
