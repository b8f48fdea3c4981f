#pragma once
// A batch of commands to many devices in one sweep: every packet's multicast
// copy, one pause of 50 ms, then every packet's broadcast copy in the same
// order. Each device still sees its own two copies at least 50 ms apart,
// multicast first, and the batch costs one pause however many devices it
// has.
#include <chrono>
#include <cstddef>
#include <functional>
#include <vector>

#include "protocol/device_packet.h"
#include "protocol/local_sockets.h"

namespace vimbrel::protocol {

// The pace of a sweep: slices of at most kSweepSlice datagrams (a packet's
// copies on every socket count, a packet is never split), kSweepGap between
// slices. A slice is 64 × about 400 bytes on the wire, 26 KB: it fits the
// socket's send buffer and any switch port's queue, and the gaps keep the
// sweep near 60 Mbit/s, within a 100 Mbit/s link with room to spare.
inline constexpr std::size_t kSweepSlice = 64;
inline constexpr std::chrono::milliseconds kSweepGap{3};

// A pace for the benchmark that compares paces; the sweeps use the default.
struct SweepPace {
    std::size_t slice = kSweepSlice;  // datagrams
    std::chrono::milliseconds gap = kSweepGap;
};

// What the sweep tells of each packet once it is done with it.
using SweepDone = std::function<void(std::size_t packet, const SendReport& report)>;

// With the turn of `sockets`: refreshes the sockets once, then sends `packets` in one sweep over
// `sockets`, paced in slices; `pause` waits out the gaps and the 50 ms.
// `keepGoing` runs before each slice of multicast copies: false sends no
// further multicast copy, but every packet whose multicast copy went out
// gets its broadcast copy too. `done` runs for each packet sent, after its
// broadcast copy, in order; its report counts both copies (no socket: no
// broadcast either). Returns how many packets were sent: the first n.
std::size_t SendSweep(LocalSockets& sockets, const LocalSockets::SendTurn& turn,
                      const std::vector<DevicePacket>& packets, const LocalSockets::Pause& pause,
                      const std::function<bool()>& keepGoing, const SweepDone& done,
                      const SweepPace& pace = {});

}  // namespace vimbrel::protocol
