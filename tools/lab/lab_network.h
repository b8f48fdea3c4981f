#pragma once
// A private test network: network namespaces joined by veth pairs, built for
// one test and removed afterwards. The computer's namespace has one bridge
// per link with its own address; every camera or plain host has a namespace
// of its own on one link, so the kernel answers ARP for its address and a
// set-network command moves it for real. Nothing here ever sends in the
// machine's initial network namespace.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/lab/network_namespace.h"

namespace vimbrel::lab {

// Command line of one simulated camera (tools/camsim).
struct CameraConfig {
    std::string serial = "SN0001";
    std::string model = "ZR420";
    std::string ip = "192.168.2.10";  // also the namespace's address
    std::string mac = "00:1A:2B:3C:4D:01";
    int port = 80;
    std::string firmware = "V1.0.0";
    std::string status = "running";  // UTF-8; sent in GBK
    int count = 1;  // cameras played by one process
    std::vector<std::string> extraArgs;
};

// One datagram that a simulator received, from its log.
struct LoggedDatagram {
    double time = 0;  // seconds, CLOCK_REALTIME
    std::string source;  // "a.b.c.d:port"
    std::string kind;  // "multicast", "broadcast" or "unicast"
    std::vector<std::uint8_t> bytes;
};

bool IsRoot();
// Aborts the test program if this thread is in the initial namespace. Call
// before anything that sends.
void RequirePrivateNetwork();

// One private test network, removed with the object.
class LabNetwork {
public:
    // A unique run name. The computer's namespace is made on first use
    // (AddLink, SetLoopback, EnterComputer): a test that holds a network and
    // never uses it, offline or skipped without root, makes none.
    LabNetwork();
    ~LabNetwork();  // stops every simulator, deletes every namespace
    LabNetwork(const LabNetwork&) = delete;
    LabNetwork& operator=(const LabNetwork&) = delete;

    // A link: a bridge in the computer's namespace holding `address`
    // ("192.168.2.100/24"). Returns its index.
    int AddLink(const std::string& address);
    // A camera namespace on `link` with the camera's address and a simulator
    // in it. Returns its index.
    int AddCamera(int link, const CameraConfig& config);
    // A namespace on `link` that holds `address` and only answers ARP.
    // Returns its name for RunInHost.
    std::string AddHost(int link, const std::string& address);

    // Brings the computer's loopback interface up or down (up after
    // construction, so 127.0.0.1 counts as a local address).
    void SetLoopback(bool up);

    // Moves the calling thread into (and back out of) the computer's
    // namespace. Threads it starts afterwards are in it too.
    void EnterComputer();
    void LeaveComputer();

    // Datagrams the camera's simulator has received so far, in order.
    std::vector<LoggedDatagram> CameraLog(int camera) const;
    // The simulator's event lines without their time, for example
    // "SN0001 set-network 192.168.2.20/24" or "moved eth0 192.168.2.20/24".
    std::vector<std::string> CameraEvents(int camera) const;
    // Runs `command` (argv) in the computer's namespace; returns its output
    // (standard error included). Throws std::runtime_error when it fails.
    std::string RunInComputer(const std::vector<std::string>& command) const;
    // The same in a host's namespace (a name from AddHost).
    std::string RunInHost(const std::string& host, const std::vector<std::string>& command) const;
    const std::string& ComputerNamespace() const { return m_computer; }
    // The times (as in LoggedDatagram) of the camera's event lines that
    // start with `words`, in order.
    std::vector<double> EventTimes(int camera, const std::string& words) const;

private:
    void Create();  // the computer's namespace, once
    std::string Attached(int link, const std::string& address) const;

    std::string m_run;
    std::string m_computer;
    int m_links = 0;
    int m_namespaces = 0;
    std::vector<std::string> m_linkPrefixes;
    std::vector<std::string> m_cameraLogs;
    int m_originalNamespace = -1;
    bool m_created = false;
};

}  // namespace vimbrel::lab

// In a test body: skips without root, fails under CI=true.
#define LAB_REQUIRE_ROOT()                                                     \
    do {                                                                       \
        if (!::vimbrel::lab::IsRoot()) {                                       \
            if (::vimbrel::lab::RunningUnderCi())                              \
                FAIL() << "private-network tests need root; CI must run them"; \
            GTEST_SKIP() << "private-network tests need root (run as root)";   \
        }                                                                      \
    } while (0)

namespace vimbrel::lab {
bool RunningUnderCi();
}
