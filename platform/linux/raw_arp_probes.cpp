// ARP requests of our own for many candidates, through one packet socket.
#include <arpa/inet.h>
#include <linux/if_ether.h>
#include <linux/if_packet.h>
#include <net/if_arp.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <thread>

#include "platform/linux/link_probes.h"
#include "platform/linux/unique_fd.h"

namespace vimbrel::platform {

namespace {

constexpr std::chrono::milliseconds kResendAfter{500};
// Requests go out in slices of 64 frames (5 KB on the wire), 1 ms apart: a
// wave of 1024 leaves in 16 ms, at most 43 Mbit/s, never one burst.
constexpr int kSliceFrames = 64;
constexpr std::chrono::milliseconds kSliceGap{1};
// Room for the answers of a whole wave at once, and for the copies of our
// own requests the socket also sees: Linux counts about 1 KB for each frame.
constexpr int kReceiveBufferBytes = 4 * 1024 * 1024;

// An Ethernet/IPv4 ARP message after the link header (RFC 826).
constexpr std::size_t kArpMessageSize = 28;
namespace arp_offset {
constexpr std::size_t kHardwareType = 0, kProtocolType = 2, kHardwareSize = 4, kProtocolSize = 5,
                      kOperation = 6, kSenderMac = 8, kSenderIp = 14, kTargetMac = 18,
                      kTargetIp = 24;
}
constexpr std::uint16_t kArpRequest = 1, kArpReply = 2;

using ArpMessage = std::array<std::uint8_t, kArpMessageSize>;

void Put16(ArpMessage& message, std::size_t offset, std::uint16_t value) {
    message[offset] = static_cast<std::uint8_t>(value >> 8);
    message[offset + 1] = static_cast<std::uint8_t>(value);
}

void Put32(ArpMessage& message, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        message[offset + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

std::uint32_t Get32(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | bytes[3];
}

ArpMessage MakeRequest(const ConnectedInterface& via, std::uint32_t target) {
    ArpMessage message{};
    Put16(message, arp_offset::kHardwareType, ARPHRD_ETHER);
    Put16(message, arp_offset::kProtocolType, ETH_P_IP);
    message[arp_offset::kHardwareSize] = 6;
    message[arp_offset::kProtocolSize] = 4;
    Put16(message, arp_offset::kOperation, kArpRequest);
    std::memcpy(&message[arp_offset::kSenderMac], via.hardwareAddress.data(), 6);
    Put32(message, arp_offset::kSenderIp, via.address);
    Put32(message, arp_offset::kTargetIp, target);  // target MAC stays zero
    return message;
}

// The sender address of an ARP reply; nothing for anything else.
std::optional<std::uint32_t> ReplySender(const std::uint8_t* bytes, ssize_t size) {
    if (size < static_cast<ssize_t>(kArpMessageSize)) return std::nullopt;
    const auto operation = static_cast<std::uint16_t>((bytes[arp_offset::kOperation] << 8) |
                                                      bytes[arp_offset::kOperation + 1]);
    if (bytes[arp_offset::kHardwareSize] != 6 || bytes[arp_offset::kProtocolSize] != 4 ||
        operation != kArpReply)
        return std::nullopt;
    return Get32(bytes + arp_offset::kSenderIp);
}

class RawArpProbes final : public LinkProbes {
public:
    explicit RawArpProbes(UniqueFd fd) : m_fd(std::move(fd)) {}

    void Start(const ConnectedInterface& via, std::uint32_t target) override {
        Pending pending{target, via.index, MakeRequest(via, target), ProbeClock::now(), false};
        if (!Send(pending)) {
            m_failed.push_back({target, false});  // counts as no answer
            return;
        }
        m_pending.push_back(pending);
    }

    void Wait(std::chrono::milliseconds wait, std::vector<ArpVerdict>& verdicts) override {
        const auto waitEnd = ProbeClock::now() + wait;
        verdicts.insert(verdicts.end(), m_failed.begin(), m_failed.end());
        m_failed.clear();
        for (;;) {
            ReadReplies(verdicts);
            const auto now = ProbeClock::now();
            auto next = waitEnd;
            std::erase_if(m_pending, [&](Pending& p) {
                if (now - p.start >= kAnswerWait) {
                    verdicts.push_back({p.target, false});
                    return true;
                }
                if (!p.resent && now - p.start >= kResendAfter) {
                    Send(p);
                    p.resent = true;
                }
                next = std::min(next, p.start + (p.resent ? kAnswerWait : kResendAfter));
                return false;
            });
            if (!verdicts.empty() || m_pending.empty() || now >= waitEnd) return;
            const auto timeout = std::chrono::ceil<std::chrono::milliseconds>(next - now);
            pollfd watch{m_fd.get(), POLLIN, 0};
            if (poll(&watch, 1, static_cast<int>(timeout.count())) < 0 && errno != EINTR) {
                for (const Pending& p : m_pending) verdicts.push_back({p.target, false});
                m_pending.clear();
                return;
            }
        }
    }

    std::size_t WaveBound() const override { return kArpWaveBound; }

private:
    struct Pending {
        std::uint32_t target;
        unsigned ifindex;
        ArpMessage request;
        ProbeClock::time_point start;
        bool resent;
    };

    bool Send(const Pending& pending) {
        if (++m_sliceSent > kSliceFrames) {
            std::this_thread::sleep_for(kSliceGap);
            m_sliceSent = 1;
        }
        sockaddr_ll to{};
        to.sll_family = AF_PACKET;
        to.sll_protocol = htons(ETH_P_ARP);
        to.sll_ifindex = static_cast<int>(pending.ifindex);
        to.sll_halen = 6;
        std::memset(to.sll_addr, 0xFF, 6);  // link-layer broadcast
        return sendto(m_fd.get(), pending.request.data(), pending.request.size(), 0,
                      reinterpret_cast<const sockaddr*>(&to),
                      sizeof to) == static_cast<ssize_t>(pending.request.size());
    }

    // Takes every waiting frame; a reply from a pending candidate's address on
    // its interface settles it as answered.
    void ReadReplies(std::vector<ArpVerdict>& verdicts) {
        for (;;) {
            std::array<std::uint8_t, 256> bytes{};
            sockaddr_ll from{};
            socklen_t fromSize = sizeof from;
            const ssize_t size = recvfrom(m_fd.get(), bytes.data(), bytes.size(), MSG_DONTWAIT,
                                          reinterpret_cast<sockaddr*>(&from), &fromSize);
            if (size < 0) return;
            if (from.sll_pkttype == PACKET_OUTGOING) continue;
            const auto sender = ReplySender(bytes.data(), size);
            if (!sender) continue;
            std::erase_if(m_pending, [&](const Pending& p) {
                if (p.target != *sender || static_cast<int>(p.ifindex) != from.sll_ifindex)
                    return false;
                verdicts.push_back({p.target, true});
                return true;
            });
        }
    }

    UniqueFd m_fd;
    std::vector<Pending> m_pending;
    std::vector<ArpVerdict> m_failed;
    int m_sliceSent = 0;  // requests sent since the last gap
};

}  // namespace

std::unique_ptr<LinkProbes> OpenRawArpProbes() {
    // Not bound to one interface: replies of every link come in here.
    UniqueFd fd(socket(AF_PACKET, SOCK_DGRAM | SOCK_CLOEXEC, htons(ETH_P_ARP)));
    if (!fd.valid()) return nullptr;
    // Past the system's cap where the process may (CAP_NET_ADMIN), else up to it.
    if (setsockopt(fd.get(), SOL_SOCKET, SO_RCVBUFFORCE, &kReceiveBufferBytes,
                   sizeof kReceiveBufferBytes) != 0)
        setsockopt(fd.get(), SOL_SOCKET, SO_RCVBUF, &kReceiveBufferBytes,
                   sizeof kReceiveBufferBytes);
    return std::make_unique<RawArpProbes>(std::move(fd));
}

}  // namespace vimbrel::platform
