#include "tools/benchmark/BenchWorker.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iostream>
#include <vector>

namespace benchmark_worker {

namespace {

// Processor time (user and system) of the whole process: on a machine shared
// with other work it moves far less than the wall clock.
double ProcessMilliseconds()
{
    timespec Now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &Now);
    return static_cast<double>(Now.tv_sec) * 1e3 + static_cast<double>(Now.tv_nsec) / 1e6;
}

long PeakResidentKiB()
{
    std::ifstream Status("/proc/self/status");
    std::string Line;
    while (std::getline(Status, Line))
        if (Line.rfind("VmHWM:", 0) == 0)
            return std::strtol(Line.c_str() + 6, nullptr, 10);
    return -1;
}

}  // namespace

int RunWorker(int ArgCount, char** Args, const TLoadOne& LoadOne)
{
    const int Rounds = ArgCount == 2 ? std::atoi(Args[1]) : 0;
    if (Rounds <= 0) {
        std::fprintf(stderr, "usage: %s ROUNDS < font-list\n", Args[0]);
        return 2;
    }
    std::vector<std::string> Files;
    for (std::string Line; std::getline(std::cin, Line);)
        if (!Line.empty())
            Files.push_back(Line);

    int Failed = 0;
    std::string RoundMs;
    std::string RoundCpuMs;
    for (int Round = 0; Round < Rounds; ++Round) {
        int RoundFailed = 0;
        const auto Started = std::chrono::steady_clock::now();
        const double CpuStarted = ProcessMilliseconds();
        for (const std::string& File : Files)
            if (!LoadOne(File))
                ++RoundFailed;
        const double CpuTook = ProcessMilliseconds() - CpuStarted;
        const std::chrono::duration<double, std::milli> Took = std::chrono::steady_clock::now() - Started;
        Failed = RoundFailed;
        if (Round != 0) {
            RoundMs += ',';
            RoundCpuMs += ',';
        }
        RoundMs += std::to_string(Took.count());
        RoundCpuMs += std::to_string(CpuTook);
    }
    std::printf("fonts=%zu failed=%d rounds=%d round_ms=%s round_cpu_ms=%s vmhwm_kb=%ld\n", Files.size(), Failed,
                Rounds, RoundMs.c_str(), RoundCpuMs.c_str(), PeakResidentKiB());
    return 0;
}

}  // namespace benchmark_worker
