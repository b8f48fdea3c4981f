#pragma once
// The simulator's log: one line per received datagram or event, written
// with a single write and so on disk at once.
//
//   ready <time> pid=<pid>
//   rx <time> <source a.b.c.d:port> <multicast|broadcast|unicast> <length> <hex bytes>
//   event <time> <words...>
//
// <time> is CLOCK_REALTIME in seconds with six decimals; for a received
// datagram, the kernel's time of its arrival.
#include <cstddef>
#include <cstdint>
#include <string>
#include <time.h>

namespace vimbrel::camsim {

// Append-only log file of one simulator run; a no-op without a path.
class DatagramLog {
public:
    explicit DatagramLog(const std::string& path);
    ~DatagramLog();
    DatagramLog(const DatagramLog&) = delete;
    DatagramLog& operator=(const DatagramLog&) = delete;

    bool ok() const { return m_fd >= 0 || !m_wanted; }
    void Ready();
    // `when` zero: the time of writing.
    void Received(const timespec& when, const std::string& source, const char* kind,
                  const std::uint8_t* bytes, std::size_t size);
    void Event(const std::string& words);

private:
    void WriteLine(const std::string& line);

    int m_fd = -1;
    bool m_wanted = false;
};

std::string TimeText(const timespec& when);
std::string NowText();

}  // namespace vimbrel::camsim
