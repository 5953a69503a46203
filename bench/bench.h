// Shared by the benchmark's parts: timing, medians and the goal report.
#pragma once
#include <chrono>
#include <vector>

namespace bench {

inline double NowMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// CPU time in milliseconds of the calling thread, or of the whole process
// (every thread, the driver's rasteriser threads too). On a shared machine
// it counts the work done rather than the time other processes took.
double ThreadCpuMs();
double ProcessCpuMs();

// The median of the values (0 for none).
double Median(std::vector<double> values);

// Prints one goal line with the measurement and whether it meets the goal
// (value <= goal); a missed goal makes the benchmark exit 1.
void Report(const char* what, double value, double goal, const char* unit);
bool AnyMissed();

// Per-screen draw calls, textures, update and submission times of the
// game's tour of its screens.
void RunScreens();
// The renderer against SDL2's batched OpenGL renderer on the same sprites.
void RunSdlComparison();

}  // namespace bench
