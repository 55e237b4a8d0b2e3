// SPDX-License-Identifier: MIT
// Times the desktop query Save makes, against the display named on the command line (through
// bench/delay_relay.py, a slow link): prints the median of RUNS queries, in milliseconds, and
// the mode found.
// usage: bench-desktop-query X_DISPLAY [RUNS]
#include "core/desktop_mode.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char* argv[])
{
    if (argc < 2)
        return 2;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    const vexalo::DesktopTarget target{"", argv[1], ""};
    std::vector<double> times;
    vexalo::DesktopMode mode;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        mode = vexalo::QueryDesktopMode(target);
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(times.begin(), times.end());
    std::printf("%.1f ms (%d x %d x %d)\n", times[times.size() / 2], mode.width, mode.height,
                mode.bitsPerPixel);
    return mode.available ? 0 : 1;
}
