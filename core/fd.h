// SPDX-License-Identifier: MIT
#pragma once

#include <cerrno>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace vexalo {

// Owns one file descriptor and closes it when it goes.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd& operator=(Fd&& other) noexcept
    {
        std::swap(fd_, other.fd_);
        return *this;
    }
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now, returning the error close reports: some file systems report a failed
    // write-back only here.
    std::error_code Close()
    {
        const int result = ::close(std::exchange(fd_, -1));
        return result == 0 || errno == EINTR ? std::error_code()
                                             : std::error_code(errno, std::generic_category());
    }

private:
    int fd_;
};

} // namespace vexalo
