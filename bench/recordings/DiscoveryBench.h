#pragma once
// The discovery, repair, evict and measure modes of recordings-bench.

#include <optional>

// The exit code when argv names one of these modes; none otherwise.
std::optional<int> RunDiscoveryBench(int argc, char** argv);
