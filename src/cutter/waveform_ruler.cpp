#include "cutter/waveform_ruler.h"

#include <algorithm>
#include <cmath>

namespace sw {
namespace {

int64_t DecimalStep(double atLeast) {
    for (int64_t power = 1;; power *= 10) {
        for (const int64_t factor : {1, 2, 5}) {
            if (double(factor * power) >= atLeast || power > (int64_t(1) << 50)) {
                return factor * power;
            }
        }
    }
}

}  // namespace

int64_t RulerStep(double framesPerPixel, double minPixels, int32_t framesPerSecond) {
    const double atLeast = std::max(1.0, framesPerPixel * minPixels);
    if (framesPerSecond <= 0) {
        return DecimalStep(atLeast);
    }
    const int64_t fps = framesPerSecond;
    for (const int64_t frames : {1, 2, 5, 10, 20, 50}) {
        if (frames >= fps) {
            break;
        }
        if (double(frames) >= atLeast) {
            return frames;
        }
    }
    for (const int64_t seconds : {1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 900, 1800}) {
        if (double(seconds * fps) >= atLeast) {
            return seconds * fps;
        }
    }
    return DecimalStep(atLeast / double(3600 * fps)) * 3600 * fps;
}

int32_t RulerDivisions(int64_t step, double framesPerPixel, double minPixels) {
    for (const int32_t parts : {5, 4, 3, 2}) {
        if (step % parts == 0 && double(step / parts) / framesPerPixel >= minPixels) {
            return parts;
        }
    }
    return 1;
}

}  // namespace sw
