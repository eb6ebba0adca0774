#pragma once

// Times the brightness and contrast adjustment of a 12-megapixel image against memcpy of
// the same buffer, and the time from a dial change to the preview shown in the real main
// window. Prints a table; needs a QApplication.
void runAdjustBenchmark();
