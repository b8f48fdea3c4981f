#pragma once
// What the simulated cameras received, read back: the datagrams of one
// command and the texts in them, and the events they logged.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/wait.h"
#include "tools/lab/lab_network.h"

namespace vimbrel::test {

// The datagrams of one command code (32 bits, little-endian, at offset 0) in
// a camera's log, of one kind ("multicast", "broadcast") or all.
inline std::vector<lab::LoggedDatagram> Received(const lab::LabNetwork& net, int camera,
                                                 std::int32_t command, const char* kind = nullptr) {
    std::vector<lab::LoggedDatagram> found;
    for (lab::LoggedDatagram& datagram : net.CameraLog(camera)) {
        const auto& b = datagram.bytes;
        const bool code = b.size() >= 4 && b[0] == command && b[1] == 0 && b[2] == 0 && b[3] == 0;
        if (code && (!kind || datagram.kind == kind)) found.push_back(std::move(datagram));
    }
    return found;
}

// The same, once the log holds at least `count` of them, or after 10 s with
// what it holds then. A command's broadcast copy leaves 50 ms after its
// multicast one: a log read at once can miss it.
inline std::vector<lab::LoggedDatagram> WaitForReceived(const lab::LabNetwork& net, int camera,
                                                        std::int32_t command, std::size_t count,
                                                        const char* kind = nullptr) {
    std::vector<lab::LoggedDatagram> found;
    WaitUntil([&] { return (found = Received(net, camera, command, kind)).size() >= count; });
    return found;
}

// The datagrams in a camera's log that are not searches (code 100): the
// commands, whatever their code.
inline std::vector<lab::LoggedDatagram> CommandsReceived(const lab::LabNetwork& net, int camera) {
    std::vector<lab::LoggedDatagram> found;
    for (lab::LoggedDatagram& datagram : net.CameraLog(camera))
        if (datagram.bytes.empty() || datagram.bytes[0] != 100)
            found.push_back(std::move(datagram));
    return found;
}

// Whether a camera's log of events holds `event`.
inline bool HasEvent(const lab::LabNetwork& net, int camera, const std::string& event) {
    const auto events = net.CameraEvents(camera);
    return std::find(events.begin(), events.end(), event) != events.end();
}

// The event of a camera's log that starts with `words`, or "".
inline std::string EventStartingWith(const lab::LabNetwork& net, int camera,
                                     const std::string& words) {
    for (const std::string& event : net.CameraEvents(camera))
        if (event.rfind(words, 0) == 0) return event;
    return {};
}

// The datagrams of command `command` that `cameras` received, all told.
inline std::size_t ReceivedByAll(const lab::LabNetwork& net, const std::vector<int>& cameras,
                                 std::int32_t command) {
    std::size_t received = 0;
    for (int camera : cameras) received += Received(net, camera, command).size();
    return received;
}

// Whether a camera's log of events holds `event` within 10 s: the simulator
// logs an event after the datagram that caused it.
inline bool WaitForEvent(const lab::LabNetwork& net, int camera, const std::string& event) {
    return WaitUntil([&] { return HasEvent(net, camera, event); });
}

// The zero-terminated text at `offset`, or up to the end of `bytes`.
inline std::string TextAt(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    if (offset >= bytes.size()) return {};
    const auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(offset);
    return std::string(begin, std::find(begin, bytes.end(), std::uint8_t{0}));
}

}  // namespace vimbrel::test
