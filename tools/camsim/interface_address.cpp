#include "tools/camsim/interface_address.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <vector>

#include "platform/posix/interface_list.h"

namespace camsim {
namespace {

struct AddressOnInterface {
    std::string ip;
    int prefix = 0;
};

int PrefixOf(const sockaddr* mask) {
    if (mask == nullptr) return 32;
    std::uint32_t bits = ntohl(reinterpret_cast<const sockaddr_in*>(mask)->sin_addr.s_addr);
    int prefix = 0;
    while (prefix < 32 && (bits & (0x80000000u >> prefix))) ++prefix;
    return prefix;
}

std::vector<AddressOnInterface> AddressesOf(const std::string& iface) {
    std::vector<AddressOnInterface> found;
    const vimbrel::platform::InterfaceList list = vimbrel::platform::SystemInterfaces();
    for (const ifaddrs* entry = list.get(); entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET) continue;
        if (iface != entry->ifa_name) continue;
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr, text,
                  sizeof text);
        found.push_back({text, PrefixOf(entry->ifa_netmask)});
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

}  // namespace camsim
