#include "tests/winlab/winlab.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include "platform/ipv4_text.h"
#include "platform/local_addresses.h"

namespace vimbrel::winlab {

namespace {

std::string LogPath(const std::string& name) {
    const char* dir = std::getenv("VIMBREL_WINLAB_DIR");
    if (!dir || !*dir) {
        std::fprintf(stderr, "winlab: VIMBREL_WINLAB_DIR is not set\n");
        std::abort();
    }
    // The harness gives the Linux path; Wine shows the Linux root as Z:.
    return std::string("Z:") + dir + "/" + name + ".log";
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::uint32_t Address(std::string_view text) { return platform::ParseIPv4(text).value(); }

void RequireLabNetwork() {
    std::set<std::uint32_t> allowed{Address("127.0.0.1")};
    for (const char* link : kLinkAddresses) allowed.insert(Address(link));
    std::set<std::uint32_t> found;
    for (const platform::LocalAddress& local : platform::LocalIPv4Addresses())
        found.insert(local.address);
    if (found != allowed) {
        std::fprintf(stderr,
                     "winlab: this computer's addresses are not the private network's: "
                     "refusing to send\n");
        for (std::uint32_t address : found)
            std::fprintf(stderr, "  %s\n", platform::FormatIPv4(address).c_str());
        std::abort();
    }
}

std::vector<LoggedDatagram> CameraLog(const std::string& name) {
    std::vector<LoggedDatagram> datagrams;
    std::ifstream file(LogPath(name));
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream words(line);
        std::string tag, hex;
        LoggedDatagram datagram;
        std::size_t size = 0;
        if (!(words >> tag) || tag != "rx") continue;
        if (!(words >> datagram.time >> datagram.source >> datagram.kind >> size)) continue;
        words >> hex;
        if (hex.size() != 2 * size) continue;  // a line still being written
        for (std::size_t i = 0; i < size; ++i)
            datagram.bytes.push_back(
                static_cast<std::uint8_t>(HexDigit(hex[2 * i]) * 16 + HexDigit(hex[2 * i + 1])));
        datagrams.push_back(std::move(datagram));
    }
    return datagrams;
}

std::vector<LoggedDatagram> WaitForDatagrams(
    const std::string& name, std::size_t skip, std::size_t count,
    const std::function<bool(const LoggedDatagram&)>& keep) {
    const auto kept = [&] {
        const std::vector<LoggedDatagram> log = CameraLog(name);
        std::vector<LoggedDatagram> out;
        for (std::size_t i = skip; i < log.size(); ++i)
            if (!keep || keep(log[i])) out.push_back(log[i]);
        return out;
    };
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    std::vector<LoggedDatagram> log = kept();
    while (log.size() < count && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        log = kept();
    }
    return log;
}

}  // namespace vimbrel::winlab
