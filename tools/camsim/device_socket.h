#pragma once
// The simulator's UDP socket on port 9876: bound to every address, member of
// the device group on every interface, told each datagram's destination.
#include <netinet/in.h>
#include <time.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace vimbrel::camsim {

// One datagram as it arrived.
struct Arrival {
    long size = -1;  // bytes, -1 on failure
    sockaddr_in source{};
    in_addr destination{};  // the datagram's destination address
    int ifindex = 0;  // interface it came in on
    timespec received{};  // the kernel's receive time (CLOCK_REALTIME), or zero
};

// The socket the simulated cameras listen and answer on.
class DeviceSocket {
public:
    explicit DeviceSocket(std::uint16_t port);
    ~DeviceSocket();
    DeviceSocket(const DeviceSocket&) = delete;
    DeviceSocket& operator=(const DeviceSocket&) = delete;

    bool ok() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    // Joins the group on every interface by index; already a member is fine.
    void JoinGroupEverywhere();
    Arrival Receive(std::uint8_t* buffer, std::size_t capacity);
    // Sends out of the interface the request came in on, so the answer
    // reaches the requester even when it stands in another subnet.
    void Send(const std::uint8_t* bytes, std::size_t size, const sockaddr_in& to, int ifindex);

private:
    int m_fd = -1;
};

// "multicast", "broadcast" (limited or directed at a local subnet) or "unicast".
const char* DestinationKind(in_addr destination);
std::string AddressText(const sockaddr_in& address);

}  // namespace vimbrel::camsim
