// Counting one side's instructions under callgrind, beside the timed benchmarks of the same
// program: "--count SIDE N" runs that side's work once to warm up (lazy set-up, first-use
// binding), then N times with callgrind's collection switched on around each run only.
// scripts/bench starts it under `valgrind --tool=callgrind --collect-atstart=no` and divides the
// main thread's total by N. Outside valgrind the switches are a few no-op instructions.
// The N runs also stand between two marker system calls (a write of kCountedRunsBegin, then of
// kCountedRunsEnd, to no file), so that scripts/bench, tracing the main thread's system calls
// with strace, counts those the runs make and nothing of the start-up or the warm-up.
#pragma once

#include <unistd.h>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define QUEUE_BENCH_COUNTS 1
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>

namespace bench {

using Sides = std::map<std::string, std::function<void()>>;

inline constexpr char kCountedRunsBegin[] = "bench: counted runs begin";
inline constexpr char kCountedRunsEnd[] = "bench: counted runs end";

// A system call that a trace shows with its text and that does nothing else: a write to no
// file (descriptor -1), which fails at once.
inline void MarkInTrace(const char* text, std::size_t length) {
  [[maybe_unused]] const auto ignored = ::write(-1, text, length);
}

// True when the command line asks for a count (the count has then run, or failed with a
// message); false when the benchmarks are to run as usual.
inline bool RanInstructionCount(int argc, char** argv, const Sides& sides, int* exit_code) {
  if (argc != 4 || std::strcmp(argv[1], "--count") != 0) return false;
#ifndef QUEUE_BENCH_COUNTS
  (void)sides;
  std::fprintf(stderr, "%s: built without valgrind's headers, cannot count\n", argv[0]);
  *exit_code = 2;
  return true;
#else
  const auto side = sides.find(argv[2]);
  const int runs = std::atoi(argv[3]);
  if (side == sides.end() || runs < 1) {
    std::fprintf(stderr, "usage: %s --count SIDE RUNS (SIDE is one of:", argv[0]);
    for (const auto& [name, work] : sides) std::fprintf(stderr, " %s", name.c_str());
    std::fprintf(stderr, ")\n");
    *exit_code = 2;
    return true;
  }
  side->second();
  MarkInTrace(kCountedRunsBegin, sizeof kCountedRunsBegin - 1);
  for (int i = 0; i < runs; ++i) {
    CALLGRIND_TOGGLE_COLLECT;
    side->second();
    CALLGRIND_TOGGLE_COLLECT;
  }
  MarkInTrace(kCountedRunsEnd, sizeof kCountedRunsEnd - 1);
  *exit_code = 0;
  return true;
#endif
}

}  // namespace bench
