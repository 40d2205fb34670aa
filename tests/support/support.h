// Shared helpers of the test programs: scripted loopback servers and small utilities.
#pragma once
