// replyflood: sends a bounded number of valid-looking replies, each from a
// MAC of its own, to one address and port at a bounded rate, as a hostile
// host on the cameras' network could. For the flood test and benchmark; it
// runs only inside a private network namespace.
//
//   replyflood --to A.B.C.D:PORT [--rate N] [--count N]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "platform/ipv4_text.h"
#include "platform/udp_socket.h"
#include "tools/flood/flood_reply.h"
#include "tools/lab/network_namespace.h"

namespace replyflood {
namespace {

constexpr long kMaxRate = 100000;  // datagrams per second
constexpr long kMaxCount = 2000000;  // datagrams in all
constexpr long kMaxBurst = 1000;  // sent at once when the sender fell behind

struct FloodOptions {
    std::uint32_t address = 0;
    std::uint16_t port = 0;
    long rate = 20000;
    long count = 200000;
};

const char* Usage() {
    return "usage: replyflood --to A.B.C.D:PORT [--rate N (1..100000, default 20000)]\n"
           "                  [--count N (1..2000000, default 200000)]\n";
}

bool ToLong(const char* text, long low, long high, long& out) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < low || value > high) return false;
    out = value;
    return true;
}

bool ParseTarget(const std::string& text, FloodOptions& options) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos) return false;
    const std::string address = text.substr(0, colon);
    long port = 0;
    const std::optional<std::uint32_t> parsed = vimbrel::platform::ParseIPv4(address);
    if (!parsed || !ToLong(text.c_str() + colon + 1, 1, 65535, port)) return false;
    options.address = *parsed;
    options.port = static_cast<std::uint16_t>(port);
    return true;
}

bool ParseOptions(int argc, char** argv, FloodOptions& options) {
    bool target = false;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string_view name = argv[i];
        const char* value = argv[i + 1];
        if (name == "--to")
            target = ParseTarget(value, options);
        else if (name == "--rate") {
            if (!ToLong(value, 1, kMaxRate, options.rate)) return false;
        } else if (name == "--count") {
            if (!ToLong(value, 1, kMaxCount, options.count)) return false;
        } else
            return false;
    }
    return target && argc % 2 == 1;
}

// Sends at the given rate: as many as are due every millisecond.
long Flood(vimbrel::platform::SocketHandle s, const FloodOptions& options) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    long sent = 0;
    long accepted = 0;
    while (sent < options.count) {
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        long due = static_cast<long>(elapsed * static_cast<double>(options.rate)) + 1;
        if (due > options.count) due = options.count;
        for (long burst = 0; sent < due && burst < kMaxBurst; ++burst, ++sent) {
            const auto reply = FloodReply(static_cast<std::uint32_t>(sent));
            if (vimbrel::platform::SendDatagram(s, reply.data(), reply.size(), options.address,
                                                options.port))
                ++accepted;
        }
        if (sent < due) continue;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return accepted;
}

int Run(int argc, char** argv) {
    FloodOptions options;
    if (!ParseOptions(argc, argv, options)) {
        std::fputs(Usage(), stderr);
        return 2;
    }
    if (vimbrel::lab::InInitialNetworkNamespace()) {
        std::fprintf(stderr,
                     "replyflood: refusing to run in the machine's own network namespace; "
                     "start it in a private one (scripts/labnet exec ...)\n");
        return 3;
    }
    const vimbrel::platform::SocketHandle s = vimbrel::platform::OpenUdpSocket();
    if (s == vimbrel::platform::kInvalidSocket) {
        std::perror("replyflood: socket");
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    const long accepted = Flood(s, options);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    vimbrel::platform::CloseSocket(s);
    std::printf("replyflood: %ld of %ld datagrams sent in %.2f s\n", accepted, options.count,
                seconds);
    return 0;
}

}  // namespace
}  // namespace replyflood

int main(int argc, char** argv) { return replyflood::Run(argc, argv); }
