#pragma once
// What the simulated cameras received, read back: the datagrams of one
// command and the texts in them, and the events they logged.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

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

// Whether a camera's log of events holds `event`.
inline bool HasEvent(const lab::LabNetwork& net, int camera, const std::string& event) {
    const auto events = net.CameraEvents(camera);
    return std::find(events.begin(), events.end(), event) != events.end();
}

// The zero-terminated text at `offset`, or up to the end of `bytes`.
inline std::string TextAt(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    if (offset >= bytes.size()) return {};
    const auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(offset);
    return std::string(begin, std::find(begin, bytes.end(), std::uint8_t{0}));
}

}  // namespace vimbrel::test
