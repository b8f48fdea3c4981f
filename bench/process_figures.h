#pragma once
// Figures of the running process for the benchmarks: resident memory and
// CPU time, from /proc/self.
#include <fstream>
#include <string>

#include <time.h>

namespace vimbrel::bench {

// "VmRSS" (now) or "VmHWM" (peak) of /proc/self/status, in MB.
inline double MemoryMB(const std::string& field = "VmRSS") {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field + ":", 0) == 0)
            return std::stod(line.substr(field.size() + 1)) / 1024.0;
    return -1;
}

// CPU time of the whole process (every thread), in seconds.
inline double CpuSeconds() {
    timespec used{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) / 1e9;
}

// Wall-clock time in seconds, as the simulators' logs have it.
inline double WallSeconds() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

}  // namespace vimbrel::bench
