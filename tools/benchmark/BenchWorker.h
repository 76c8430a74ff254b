// The common frame of the benchmark's C++ workers: each reads font paths from
// standard input, loads every one of them a number of rounds through its own
// reader, and prints one result line (see tools/benchmark/run.py).
#pragma once

#include <functional>
#include <string>

namespace benchmark_worker {

// Loads one font; answers false when the reader refused the file.
using TLoadOne = std::function<bool(const std::string& FileName)>;

// Usage: WORKER ROUNDS < list-of-paths. Prints
//   fonts=N failed=F rounds=R round_ms=T1,... round_cpu_ms=C1,... vmhwm_kb=K
// with the wall-clock and processor time of each round, F the refusals of one
// round and K the process's peak resident size (Linux VmHWM), so that every
// worker pays for its own memory.
int RunWorker(int ArgCount, char** Args, const TLoadOne& LoadOne);

}  // namespace benchmark_worker
