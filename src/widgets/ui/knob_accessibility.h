#pragma once

namespace sw {

// Lets screen readers read the knob as a dial with a current, minimum and maximum value and set
// it. Safe to call more than once; the knob calls it when the first one is made.
void InstallKnobAccessibility();

}  // namespace sw
