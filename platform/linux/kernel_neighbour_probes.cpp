// The kernel's neighbour resolution for many candidates, watched over one
// rtnetlink socket.
#include <arpa/inet.h>
#include <linux/neighbour.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <optional>
#include <utility>

#include "platform/linux/link_probes.h"
#include "platform/linux/unique_fd.h"

namespace vimbrel::platform {

namespace {

constexpr int kDumpReplyWaitMs = 500;
constexpr std::uint16_t kDiscardPort = 9;
// Room for the notices of a whole wave (each probe's entry changes twice or
// more, about 100 bytes a notice); a loss still only costs a dump.
constexpr int kReceiveBufferBytes = 1024 * 1024;

// What the neighbour table says about one address on one interface.
enum class Neighbour { None, Pending, Failed, NoArp, Known };

Neighbour Classify(std::uint16_t state) {
    if (state & (NUD_REACHABLE | NUD_PERMANENT | NUD_STALE | NUD_DELAY | NUD_PROBE))
        return Neighbour::Known;
    if (state & NUD_NOARP) return Neighbour::NoArp;
    if (state & NUD_FAILED) return Neighbour::Failed;
    if (state & NUD_INCOMPLETE) return Neighbour::Pending;
    return Neighbour::None;
}

// One neighbour table entry as a message tells it.
struct Entry {
    unsigned ifindex = 0;
    std::uint32_t address = 0;  // host order
    Neighbour state = Neighbour::None;
};

// The IPv4 entry a RTM_NEWNEIGH or RTM_DELNEIGH message carries; a deleted
// entry reads as None.
std::optional<Entry> ReadEntry(const nlmsghdr* message) {
    if ((message->nlmsg_type != RTM_NEWNEIGH && message->nlmsg_type != RTM_DELNEIGH) ||
        message->nlmsg_len < NLMSG_LENGTH(sizeof(ndmsg)))
        return std::nullopt;
    const auto* body = static_cast<const ndmsg*>(NLMSG_DATA(message));
    if (body->ndm_family != AF_INET) return std::nullopt;
    int attributesSize = static_cast<int>(message->nlmsg_len - NLMSG_LENGTH(sizeof(ndmsg)));
    for (auto* attribute = reinterpret_cast<const rtattr*>(reinterpret_cast<const char*>(body) +
                                                           NLMSG_ALIGN(sizeof(ndmsg)));
         RTA_OK(attribute, attributesSize); attribute = RTA_NEXT(attribute, attributesSize)) {
        if (attribute->rta_type != NDA_DST || RTA_PAYLOAD(attribute) != sizeof(std::uint32_t))
            continue;
        std::uint32_t address = 0;
        std::memcpy(&address, RTA_DATA(attribute), sizeof address);
        Entry entry;
        entry.ifindex = static_cast<unsigned>(body->ndm_ifindex);
        entry.address = ntohl(address);
        entry.state =
            message->nlmsg_type == RTM_DELNEIGH ? Neighbour::None : Classify(body->ndm_state);
        return entry;
    }
    return std::nullopt;
}

// One byte to `target`'s discard port from `source`: the kernel resolves the
// neighbour before the datagram can leave. False when it could not be sent
// (a broadcast address, for one), so nothing gets resolved.
bool TriggerResolution(std::uint32_t source, std::uint32_t target) {
    UniqueFd fd(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (!fd.valid()) return false;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(source);
    if (bind(fd.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) return false;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(kDiscardPort);
    to.sin_addr.s_addr = htonl(target);
    const char byte = 0;
    return sendto(fd.get(), &byte, 1, MSG_DONTWAIT, reinterpret_cast<const sockaddr*>(&to),
                  sizeof to) == 1;
}

class KernelNeighbourProbes final : public LinkProbes {
public:
    explicit KernelNeighbourProbes(UniqueFd fd) : m_fd(std::move(fd)) {}

    void Start(const ConnectedInterface& via, std::uint32_t target) override {
        m_pending.push_back({target, via.index, via.address, ProbeClock::now(), false});
    }

    void Wait(std::chrono::milliseconds wait, std::vector<ArpVerdict>& verdicts) override {
        const auto waitEnd = ProbeClock::now() + wait;
        // New candidates: what the table says now decides, or a resolution
        // begins.
        if (std::any_of(m_pending.begin(), m_pending.end(), [](auto& p) { return !p.triggered; }))
            Look(verdicts, /*resync=*/false);
        for (;;) {
            // Changes that came in first: an answer read late still counts.
            if (!ReadChanges(verdicts))
                Look(verdicts, /*resync=*/true);  // changes were lost: read the table
            const auto now = ProbeClock::now();
            auto next = waitEnd;
            std::erase_if(m_pending, [&](const Pending& p) {
                if (now - p.start >= kAnswerWait) {
                    verdicts.push_back({p.target, false});
                    return true;
                }
                next = std::min(next, p.start + kAnswerWait);
                return false;
            });
            if (!verdicts.empty() || m_pending.empty() || now >= waitEnd) return;
            const auto timeout = std::chrono::ceil<std::chrono::milliseconds>(next - now);
            pollfd watch{m_fd.get(), POLLIN, 0};
            const int ready = poll(&watch, 1, static_cast<int>(timeout.count()));
            if (ready < 0 && errno != EINTR) return GiveUp(verdicts);
        }
    }

    std::size_t WaveBound() const override { return kKernelNeighbourWave; }

private:
    struct Pending {
        std::uint32_t target;
        unsigned ifindex;
        std::uint32_t source;
        ProbeClock::time_point start;
        bool triggered;  // a resolution is under way; changes decide
    };

    // The state of a candidate's entry under resolution: confirmed means an
    // answer; failed, or no ARP at all, means none; anything else, not yet.
    static std::optional<bool> Resolved(Neighbour state) {
        switch (state) {
        case Neighbour::Known: return true;
        case Neighbour::Failed:
        case Neighbour::NoArp: return false;
        default: return std::nullopt;
        }
    }

    // A change to an entry: settles the candidate under resolution it names.
    void Apply(const Entry& entry, std::vector<ArpVerdict>& verdicts) {
        std::erase_if(m_pending, [&](const Pending& p) {
            if (!p.triggered || p.target != entry.address || p.ifindex != entry.ifindex)
                return false;
            const auto answered = Resolved(entry.state);
            if (answered) verdicts.push_back({p.target, *answered});
            return answered.has_value();
        });
    }

    // Takes every waiting change notice without blocking. False when the
    // socket lost some (its buffer ran over).
    bool ReadChanges(std::vector<ArpVerdict>& verdicts) {
        for (;;) {
            const ssize_t size = recv(m_fd.get(), m_buffer.data(), m_buffer.size(), MSG_DONTWAIT);
            if (size < 0) return errno != ENOBUFS;
            auto remaining = static_cast<unsigned>(size);
            for (auto* message = reinterpret_cast<nlmsghdr*>(m_buffer.data());
                 NLMSG_OK(message, remaining); message = NLMSG_NEXT(message, remaining)) {
                if (const auto entry = ReadEntry(message)) Apply(*entry, verdicts);
            }
        }
    }

    // Reads the whole IPv4 neighbour table. Candidates not yet under
    // resolution are decided by their entry or set resolving; with `resync`,
    // those under resolution are also held against their entry.
    void Look(std::vector<ArpVerdict>& verdicts, bool resync) {
        std::map<std::pair<unsigned, std::uint32_t>, Neighbour> table;
        if (!Dump(table, verdicts)) table.clear();  // as if empty: every new candidate is resolved
        std::erase_if(m_pending, [&](Pending& p) {
            const auto found = table.find({p.ifindex, p.target});
            const Neighbour state = found == table.end() ? Neighbour::None : found->second;
            if (p.triggered) {
                const auto answered = resync ? Resolved(state) : std::nullopt;
                if (answered) verdicts.push_back({p.target, *answered});
                return answered.has_value();
            }
            if (state == Neighbour::Known || state == Neighbour::NoArp) {
                verdicts.push_back({p.target, state == Neighbour::Known});
                return true;
            }
            if (!TriggerResolution(p.source, p.target)) {
                verdicts.push_back({p.target, false});
                return true;
            }
            p.triggered = true;
            return false;
        });
    }

    // One dump of the table into `table`; change notices that arrive in
    // between are applied as they come. False on any failure.
    bool Dump(std::map<std::pair<unsigned, std::uint32_t>, Neighbour>& table,
              std::vector<ArpVerdict>& verdicts) {
        struct {
            nlmsghdr header;
            ndmsg body;
        } request{};
        request.header.nlmsg_len = sizeof request;
        request.header.nlmsg_type = RTM_GETNEIGH;
        request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
        request.header.nlmsg_seq = ++m_sequence;
        request.body.ndm_family = AF_INET;
        sockaddr_nl kernel{};
        kernel.nl_family = AF_NETLINK;
        if (sendto(m_fd.get(), &request, sizeof request, 0,
                   reinterpret_cast<const sockaddr*>(&kernel), sizeof kernel) < 0)
            return false;
        for (;;) {
            pollfd watch{m_fd.get(), POLLIN, 0};
            if (poll(&watch, 1, kDumpReplyWaitMs) <= 0) return false;
            const ssize_t size = recv(m_fd.get(), m_buffer.data(), m_buffer.size(), 0);
            if (size < 0 && errno == ENOBUFS) continue;  // notices lost; the dump itself goes on
            if (size <= 0) return false;
            auto remaining = static_cast<unsigned>(size);
            for (auto* message = reinterpret_cast<nlmsghdr*>(m_buffer.data());
                 NLMSG_OK(message, remaining); message = NLMSG_NEXT(message, remaining)) {
                const bool ours = message->nlmsg_seq == m_sequence && message->nlmsg_pid != 0;
                if (ours && message->nlmsg_type == NLMSG_DONE) return true;
                if (ours && message->nlmsg_type == NLMSG_ERROR) return false;
                const auto entry = ReadEntry(message);
                if (!entry) continue;
                if (ours)
                    table[{entry->ifindex, entry->address}] = entry->state;
                else
                    Apply(*entry, verdicts);
            }
        }
    }

    void GiveUp(std::vector<ArpVerdict>& verdicts) {
        for (const Pending& p : m_pending) verdicts.push_back({p.target, false});
        m_pending.clear();
    }

    UniqueFd m_fd;
    std::vector<Pending> m_pending;
    std::uint32_t m_sequence = 0;
    std::vector<char> m_buffer = std::vector<char>(65536);
};

}  // namespace

std::unique_ptr<LinkProbes> OpenKernelNeighbourProbes() {
    UniqueFd fd(socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE));
    if (!fd.valid()) return nullptr;
    sockaddr_nl local{};
    local.nl_family = AF_NETLINK;
    local.nl_groups = RTMGRP_NEIGH;  // every change of the neighbour table
    if (bind(fd.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0)
        return nullptr;
    if (setsockopt(fd.get(), SOL_SOCKET, SO_RCVBUFFORCE, &kReceiveBufferBytes,
                   sizeof kReceiveBufferBytes) != 0)
        setsockopt(fd.get(), SOL_SOCKET, SO_RCVBUF, &kReceiveBufferBytes,
                   sizeof kReceiveBufferBytes);
    return std::make_unique<KernelNeighbourProbes>(std::move(fd));
}

}  // namespace vimbrel::platform
