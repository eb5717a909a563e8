#pragma once

#include <cstdlib>

namespace sw::fuzz {

// Ends the run when a property of the code under test does not hold: libFuzzer takes the abort
// for a crash and keeps the input, as it does for a sanitizer report.
inline void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace sw::fuzz
