#include "tools/camsim/options.h"

#include <cstdlib>
#include <string_view>

namespace vimbrel::camsim {
namespace {

bool ToInt(const char* text, long low, long high, long& out) {
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < low || value > high) return false;
    out = value;
    return true;
}

bool ToProbability(const char* text, double& out) {
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(value >= 0 && value <= 1)) return false;
    out = value;
    return true;
}

}  // namespace

const char* Usage() {
    return "usage: camsim [--serial S] [--model M] [--ip A.B.C.D] [--mac XX:XX:XX:XX:XX:XX]\n"
           "              [--port N] [--firmware F] [--status TEXT] [--count N]\n"
           "              [--log FILE] [--iface NAME] [--reboot-seconds N] [--reply-spread-ms N]\n"
           "              [--loss-request P] [--loss-reply P] [--reply-delay MS] [--seed N]\n"
           "              [--ignore set-network]\n"
           "  P: a probability from 0 to 1 for each camera and datagram\n";
}

std::optional<SimOptions> ParseOptions(int argc, char** argv, std::string& error) {
    SimOptions options;
    for (int i = 1; i < argc; ++i) {
        std::string_view name = argv[i];
        if (i + 1 >= argc) {
            error = "missing value for " + std::string(name);
            return std::nullopt;
        }
        const char* value = argv[++i];
        long number = 0;
        double probability = 0;
        if (name == "--serial")
            options.serial = value;
        else if (name == "--model")
            options.model = value;
        else if (name == "--ip")
            options.ip = value;
        else if (name == "--mac")
            options.mac = value;
        else if (name == "--firmware")
            options.firmware = value;
        else if (name == "--status")
            options.status = value;
        else if (name == "--log")
            options.logPath = value;
        else if (name == "--iface")
            options.iface = value;
        else if (name == "--ignore" && std::string_view(value) == "set-network")
            options.ignoreSetNetwork = true;
        else if (name == "--port" && ToInt(value, -2147483647L - 1, 2147483647L, number))
            options.port = static_cast<std::int32_t>(number);
        else if (name == "--count" && ToInt(value, 1, 100000, number))
            options.count = static_cast<int>(number);
        else if (name == "--reboot-seconds" && ToInt(value, 0, 3600, number))
            options.rebootSeconds = static_cast<int>(number);
        else if (name == "--reply-spread-ms" && ToInt(value, 0, 60000, number))
            options.replySpreadMs = static_cast<int>(number);
        else if (name == "--loss-request" && ToProbability(value, probability))
            options.lossRequest = probability;
        else if (name == "--loss-reply" && ToProbability(value, probability))
            options.lossReply = probability;
        else if (name == "--reply-delay" && ToInt(value, 0, 60000, number))
            options.replyDelayMs = static_cast<int>(number);
        else if (name == "--seed" && ToInt(value, 0, 4294967295L, number))
            options.seed = static_cast<std::uint32_t>(number);
        else {
            error = "bad option " + std::string(name) + " " + value;
            return std::nullopt;
        }
    }
    return options;
}

}  // namespace vimbrel::camsim
