// Where the log takes its time from. The default reads the local time;
// tests install a fixed clock to compare whole files byte for byte.
#pragma once

#include <ctime>

// Fills `time` with the current local time; false when it cannot be had
// (the line then carries an empty time stamp).
using LogClock = bool (*)(std::tm& time);

// Installs `clock` (null restores the local-time clock); returns the previous one.
LogClock SetLogClock(LogClock clock);
