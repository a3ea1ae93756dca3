// One run of the host: control, optional activation, engine, items, events,
// the scripts, and the teardown in the order COM needs. Returns the exit code.
#pragma once

#include "command_line.h"

int RunHost(const CHostOptions& options);
