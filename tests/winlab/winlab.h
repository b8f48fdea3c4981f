#pragma once
// The private network that scripts/test-windows.sh builds around this
// program: the computer holds 192.168.2.100/24 and 192.168.3.100/24 (and
// 127.0.0.1); camera cam1 (192.168.2.10, serial SN0001, status "运行中")
// and camera cam2 (192.168.3.20, serial SN0002) are simulators whose logs
// lie in the folder named by VIMBREL_WINLAB_DIR.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vimbrel::winlab {

inline constexpr const char* kLinkAddresses[] = {"192.168.2.100", "192.168.3.100"};

// The address of dotted text that the test itself writes.
std::uint32_t Address(std::string_view text);

// One datagram that a simulator logged.
struct LoggedDatagram {
    double time = 0;  // seconds
    std::string source;  // "a.b.c.d:port"
    std::string kind;  // "multicast", "broadcast" or "unicast"
    std::vector<std::uint8_t> bytes;
};

// Ends the program unless this computer's addresses are exactly the lab's:
// a second guard, beside the harness's check of the wineserver's network
// namespace, that nothing here is sent on a real network.
void RequireLabNetwork();

// The datagrams camera `name` ("cam1", "cam2") has logged so far.
std::vector<LoggedDatagram> CameraLog(const std::string& name);

// The datagrams logged after the first `skip` that `keep` accepts (all when
// it is empty), once there are at least `count` of them or three seconds have
// passed. A camera also logs what was sent to its neighbours, and a copy
// sent by an earlier test can arrive after that test stopped waiting.
std::vector<LoggedDatagram> WaitForDatagrams(
    const std::string& name, std::size_t skip, std::size_t count,
    const std::function<bool(const LoggedDatagram&)>& keep = nullptr);

}  // namespace vimbrel::winlab
