#include "tools/camsim/interface_address.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/ipv4_text.h"
#include "platform/local_addresses.h"

namespace vimbrel::camsim {
namespace {

struct AddressOnInterface {
    std::string ip;
    int prefix = 0;
};

std::vector<AddressOnInterface> AddressesOf(const std::string& iface) {
    std::vector<AddressOnInterface> found;
    for (const platform::InterfaceAddress& entry : platform::InterfaceIPv4Addresses()) {
        if (entry.name != iface) continue;
        found.push_back(
            {platform::FormatIPv4(entry.address), platform::MaskPrefixLength(entry.netmask)});
    }
    return found;
}

// Runs `ip` with the given arguments and waits for it; true on exit status 0.
bool RunIp(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    std::string program = "ip";
    argv.push_back(program.data());
    std::vector<std::string> copies = args;
    for (std::string& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        execvp("ip", argv.data());
        _exit(127);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

std::optional<int> InterfacePrefix(const std::string& iface, const std::string& ip) {
    for (const AddressOnInterface& address : AddressesOf(iface))
        if (address.ip == ip) return address.prefix;
    return std::nullopt;
}

bool MoveInterfaceAddress(const std::string& iface, const std::string& ip, int prefix) {
    // Old addresses go first: removing a primary address would take a new
    // secondary one in the same subnet with it.
    RunIp({"-4", "addr", "flush", "dev", iface});
    return RunIp({"-4", "addr", "replace", ip + "/" + std::to_string(prefix), "broadcast", "+",
                  "dev", iface});
}

}  // namespace vimbrel::camsim
