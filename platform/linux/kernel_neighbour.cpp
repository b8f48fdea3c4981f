#include "platform/linux/kernel_neighbour.h"

#include <arpa/inet.h>
#include <linux/neighbour.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/linux/unique_fd.h"

namespace vimbrel::platform {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto ANSWER_WAIT = std::chrono::milliseconds(1000);
constexpr auto POLL_INTERVAL = std::chrono::milliseconds(20);
constexpr auto NETLINK_REPLY_WAIT_MS = 500;
constexpr std::uint16_t DISCARD_PORT = 9;

// What the neighbour table says about one address on one interface.
enum class Neighbour { None, Pending, Failed, NoArp, Known };

Neighbour Classify(std::uint16_t state) {
    if (state & (NUD_REACHABLE | NUD_PERMANENT | NUD_STALE | NUD_DELAY | NUD_PROBE))
        return Neighbour::Known;
    if (state & NUD_NOARP)
        return Neighbour::NoArp;
    if (state & NUD_FAILED)
        return Neighbour::Failed;
    if (state & NUD_INCOMPLETE)
        return Neighbour::Pending;
    return Neighbour::None;
}

// The state of `target`'s entry on interface `index`, from a dump of the
// IPv4 neighbour table over rtnetlink (no privilege needed). None on any
// failure.
Neighbour LookUpNeighbour(unsigned index, std::uint32_t target) {
    UniqueFd fd(socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE));
    if (!fd.valid())
        return Neighbour::None;

    struct {
        nlmsghdr header;
        ndmsg body;
    } request{};
    request.header.nlmsg_len = sizeof request;
    request.header.nlmsg_type = RTM_GETNEIGH;
    request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.header.nlmsg_seq = 1;
    request.body.ndm_family = AF_INET;
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    if (sendto(fd.get(), &request, sizeof request, 0, reinterpret_cast<const sockaddr*>(&kernel),
               sizeof kernel) < 0)
        return Neighbour::None;

    const std::uint32_t wanted = htonl(target);
    Neighbour found = Neighbour::None;
    std::vector<char> buffer(65536);
    for (;;) {
        pollfd watch{fd.get(), POLLIN, 0};
        if (poll(&watch, 1, NETLINK_REPLY_WAIT_MS) <= 0)
            return Neighbour::None;
        const ssize_t size = recv(fd.get(), buffer.data(), buffer.size(), 0);
        if (size <= 0)
            return Neighbour::None;
        auto remaining = static_cast<unsigned>(size);
        for (auto* message = reinterpret_cast<nlmsghdr*>(buffer.data()); NLMSG_OK(message, remaining);
             message = NLMSG_NEXT(message, remaining)) {
            if (message->nlmsg_type == NLMSG_DONE)
                return found;
            if (message->nlmsg_type == NLMSG_ERROR)
                return Neighbour::None;
            if (message->nlmsg_type != RTM_NEWNEIGH ||
                message->nlmsg_len < NLMSG_LENGTH(sizeof(ndmsg)))
                continue;
            const auto* entry = static_cast<const ndmsg*>(NLMSG_DATA(message));
            if (entry->ndm_family != AF_INET || entry->ndm_ifindex != static_cast<int>(index))
                continue;
            int attributesSize = static_cast<int>(message->nlmsg_len - NLMSG_LENGTH(sizeof(ndmsg)));
            for (auto* attribute = reinterpret_cast<const rtattr*>(
                     reinterpret_cast<const char*>(entry) + NLMSG_ALIGN(sizeof(ndmsg)));
                 RTA_OK(attribute, attributesSize); attribute = RTA_NEXT(attribute, attributesSize)) {
                if (attribute->rta_type == NDA_DST && RTA_PAYLOAD(attribute) == sizeof wanted &&
                    std::memcmp(RTA_DATA(attribute), &wanted, sizeof wanted) == 0)
                    found = Classify(entry->ndm_state);
            }
        }
    }
}

// One byte to `target`'s discard port from `via`'s address: the kernel
// resolves the neighbour before the datagram can leave. False when it could
// not be sent (a broadcast address, for one), so nothing gets resolved.
bool TriggerResolution(const ConnectedInterface& via, std::uint32_t target) {
    UniqueFd fd(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (!fd.valid())
        return false;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(via.address);
    if (bind(fd.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0)
        return false;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(DISCARD_PORT);
    to.sin_addr.s_addr = htonl(target);
    const char byte = 0;
    return sendto(fd.get(), &byte, 1, MSG_DONTWAIT, reinterpret_cast<const sockaddr*>(&to),
                  sizeof to) == 1;
}

}  // namespace

bool KernelNeighbourAnswers(const ConnectedInterface& via, std::uint32_t target) {
    if (!via.usesArp)
        return false;
    switch (LookUpNeighbour(via.index, target)) {
    case Neighbour::Known:
        return true;
    case Neighbour::NoArp:
        return false;
    default:
        break;
    }

    const auto start = Clock::now();
    if (!TriggerResolution(via, target))
        return false;
    for (;;) {
        std::this_thread::sleep_for(POLL_INTERVAL);
        switch (LookUpNeighbour(via.index, target)) {
        case Neighbour::Known:
            return true;
        case Neighbour::Failed:
        case Neighbour::NoArp:
            return false;
        default:
            break;
        }
        if (Clock::now() - start >= ANSWER_WAIT)
            return false;
    }
}

}  // namespace vimbrel::platform
