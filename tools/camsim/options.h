#pragma once
// The simulator's command line.
#include <cstdint>
#include <optional>
#include <string>

namespace vimbrel::camsim {

// What one run of the simulator plays, as given on its command line.
struct SimOptions {
    std::string serial = "SN0001";
    std::string model = "ZR420";
    std::string ip = "192.168.2.10";
    std::string mac = "00:1A:2B:3C:4D:01";
    std::int32_t port = 80;
    std::string firmware = "V1.0.0";
    std::string status = "运行中";  // UTF-8
    int count = 1;
    std::string logPath;  // empty: no log
    std::string iface;  // empty: the interface's address is left alone
    int rebootSeconds = 3;
    // The cameras take no set-network: they log it and keep their address,
    // as a camera that refuses or loses its new settings does.
    bool ignoreSetNetwork = false;
    int replySpreadMs = 0;  // answers of many cameras spread over this time
    // A lossy site: each camera misses a search request, and loses its
    // reply, with these probabilities (0 to 1), and answers after a random
    // 0 to replyDelayMs; seed 0 draws from the system.
    double lossRequest = 0;
    double lossReply = 0;
    int replyDelayMs = 0;
    std::uint32_t seed = 0;
};

// Parses argv; on a bad option returns nothing and fills `error`.
std::optional<SimOptions> ParseOptions(int argc, char** argv, std::string& error);

const char* Usage();

}  // namespace vimbrel::camsim
