// Shared helpers of the test programs: the scripted loopback server and small utilities.
#pragma once

#include "tests/support/scripted_server.h"
