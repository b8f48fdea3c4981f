#pragma once
#ifndef VIMBREL_PLATFORM_INTERNAL
#error "private to the platform library: include its interface headers in platform/"
#endif
// Owns one file descriptor and closes it when it goes.
#include <unistd.h>

#include <utility>

namespace vimbrel::platform {

// A file descriptor closed on destruction; -1 holds nothing.
class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : m_fd(fd) {}
    ~UniqueFd() {
        if (m_fd >= 0) ::close(m_fd);
    }
    UniqueFd(UniqueFd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        std::swap(m_fd, other.m_fd);
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }

private:
    int m_fd;
};

}  // namespace vimbrel::platform
