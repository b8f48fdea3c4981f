#include "tools/camsim/datagram_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

namespace vimbrel::camsim {

std::string TimeText(const timespec& when) {
    char text[40];
    std::snprintf(text, sizeof text, "%lld.%06ld", static_cast<long long>(when.tv_sec),
                  when.tv_nsec / 1000);
    return text;
}

std::string NowText() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return TimeText(now);
}

DatagramLog::DatagramLog(const std::string& path) : m_wanted(!path.empty()) {
    if (m_wanted) m_fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
}

DatagramLog::~DatagramLog() {
    if (m_fd >= 0) close(m_fd);
}

void DatagramLog::Ready() { WriteLine("ready " + NowText() + " pid=" + std::to_string(getpid())); }

void DatagramLog::Received(const timespec& when, const std::string& source, const char* kind,
                           const std::uint8_t* bytes, std::size_t size) {
    static const char digits[] = "0123456789abcdef";
    const bool stamped = when.tv_sec != 0 || when.tv_nsec != 0;
    std::string line = "rx " + (stamped ? TimeText(when) : NowText()) + " " + source + " " + kind +
                       " " + std::to_string(size) + " ";
    line.reserve(line.size() + 2 * size + 1);
    for (std::size_t i = 0; i < size; ++i) {
        line.push_back(digits[bytes[i] >> 4]);
        line.push_back(digits[bytes[i] & 15]);
    }
    WriteLine(line);
}

void DatagramLog::Event(const std::string& words) { WriteLine("event " + NowText() + " " + words); }

void DatagramLog::WriteLine(const std::string& line) {
    if (m_fd < 0) return;
    std::string withEnd = line + "\n";
    const char* p = withEnd.data();
    std::size_t left = withEnd.size();
    while (left > 0) {
        ssize_t n = write(m_fd, p, left);
        if (n <= 0) return;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
}

}  // namespace vimbrel::camsim
