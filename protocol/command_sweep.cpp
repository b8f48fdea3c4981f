// One sweep of a batch's packets: the multicast copies, one pause, the
// broadcast copies.
#include "protocol/command_sweep.h"

#include "platform/ipv4_text.h"

namespace vimbrel::protocol {

namespace {

// Sends packets [from, ...) to `to` until a slice's worth of datagrams went
// out or none is left; each packet's report takes what its send did.
// Returns the first packet not sent.
std::size_t SendSlice(LocalSockets& sockets, const LocalSockets::SendTurn& turn,
                      const std::vector<DevicePacket>& packets, std::size_t from, std::size_t end,
                      std::uint32_t to, std::size_t slice, std::vector<SendReport>& reports) {
    std::size_t datagrams = 0;
    std::size_t i = from;
    for (; i < end && (i == from || datagrams < slice); ++i) {
        const SendReport one = sockets.SendToEach(turn, packets[i], to);
        datagrams += one.sockets;
        reports[i].sockets += one.sockets;
        reports[i].sent += one.sent;
        if (!reports[i].error) reports[i].error = one.error;
    }
    return i;
}

}  // namespace

std::size_t SendSweep(LocalSockets& sockets, const LocalSockets::SendTurn& turn,
                      const std::vector<DevicePacket>& packets, const LocalSockets::Pause& pause,
                      const std::function<bool()>& keepGoing, const SweepDone& done,
                      const SweepPace& pace) {
    const auto wait = [&](std::chrono::milliseconds duration) {
        if (pause) pause(duration);
    };
    sockets.RefreshLocalSockets(turn);
    std::vector<SendReport> reports(packets.size());
    const std::uint32_t group = platform::ParseIPv4(DEVICE_GROUP).value();
    const std::uint32_t broadcast = platform::ParseIPv4(DEVICE_BROADCAST).value();

    std::size_t started = 0;
    while (started < packets.size() && (!keepGoing || keepGoing())) {
        if (started > 0) wait(pace.gap);
        started =
            SendSlice(sockets, turn, packets, started, packets.size(), group, pace.slice, reports);
    }
    // Sockets only go away during a sweep: a packet that found none has no
    // copy out, and when none found one there is nothing to pause for.
    bool anyCopy = false;
    for (std::size_t i = 0; i < started; ++i) anyCopy = anyCopy || reports[i].sockets > 0;
    if (anyCopy) wait(kPauseBetweenSends);
    std::vector<SendReport> second(started);
    for (std::size_t next = 0; next < started;) {
        if (next > 0) wait(pace.gap);
        const std::size_t end = anyCopy ? SendSlice(sockets, turn, packets, next, started,
                                                    broadcast, pace.slice, second)
                                        : started;
        for (std::size_t i = next; i < end; ++i) {
            reports[i].sent += second[i].sent;
            if (!reports[i].error) reports[i].error = second[i].error;
            if (done) done(i, reports[i]);
        }
        next = end;
    }
    return started;
}

}  // namespace vimbrel::protocol
