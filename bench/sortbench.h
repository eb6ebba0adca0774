#pragma once

// Times sorting a folder of 10,000 files through the thumbnail sorting proxy in every mode
// and order, and prints a table. Needs a QApplication.
void runSortBenchmark();
