#pragma once

class QWidget;

namespace sw {

// For the start-up benchmark: when the environment variable SLICEWELL_FIRST_PAINT is set, prints
// "first paint <ns>" (CLOCK_REALTIME, nanoseconds since the epoch) on standard output once the
// window has finished its first paint; with the value "quit" the program then ends. Without the
// variable nothing is installed.
void ReportFirstPaint(QWidget* window);

}  // namespace sw
