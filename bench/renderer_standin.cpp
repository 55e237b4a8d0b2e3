// SPDX-License-Identifier: MIT
// Stands in for the renderer: marks the moment it runs by creating the file named in
// VEXALO_BENCH_MARK, then ends.
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

int main()
{
    if (const char* mark = std::getenv("VEXALO_BENCH_MARK"))
        ::close(::open(mark, O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
    return 0;
}
