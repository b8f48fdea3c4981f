// UDP sockets over Windows Sockets 2.
#include "platform/udp_socket.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <mswsock.h>

#include <string>

#include "platform/socket_error_state.h"
#include "platform/utf8_text.h"

namespace vimbrel::platform {

namespace {

#ifndef SIO_UDP_CONNRESET
#define SIO_UDP_CONNRESET _WSAIOW(IOC_VENDOR, 12)
#endif
#ifndef SIO_UDP_NETRESET
#define SIO_UDP_NETRESET _WSAIOW(IOC_VENDOR, 15)
#endif

constexpr auto kSendWait = std::chrono::milliseconds(100);

// Windows Sockets 2.2, started once before the first socket and kept for the
// life of the process.
class WinsockSession {
public:
    WinsockSession() {
        WSADATA data;
        m_error = WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~WinsockSession() {
        if (m_error == 0) WSACleanup();
    }
    WinsockSession(const WinsockSession&) = delete;
    WinsockSession& operator=(const WinsockSession&) = delete;
    int error() const { return m_error; }  // WSAStartup's; 0 once started

private:
    int m_error = 0;
};

// Records the outcome of a call that reports failure in WSAGetLastError.
bool Record(bool ok) {
    if (ok)
        SocketCallSucceeded();
    else
        SocketCallFailed(WSAGetLastError());
    return ok;
}

bool WinsockStarted() {
    static const WinsockSession session;
    if (session.error() != 0) SocketCallFailed(session.error());
    return session.error() == 0;
}

SOCKET Native(SocketHandle s) { return static_cast<SOCKET>(s); }

sockaddr_in MakeAddress(std::uint32_t address, std::uint16_t port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(address);
    sa.sin_port = htons(port);
    return sa;
}

std::optional<sockaddr_in> LocalName(SocketHandle s) {
    sockaddr_in sa{};
    int length = sizeof sa;
    if (!Record(getsockname(Native(s), reinterpret_cast<sockaddr*>(&sa), &length) == 0))
        return std::nullopt;
    if (sa.sin_family != AF_INET) {
        SocketCallFailed(WSAEAFNOSUPPORT);
        return std::nullopt;
    }
    return sa;
}

// Windows reports an ICMP port-unreachable for an earlier send as a
// WSAECONNRESET on the next receive of a UDP socket (and a time-exceeded as
// WSAENETRESET); either would end the socket. Both reports are switched off.
bool SwitchOffResetReports(SOCKET s) {
    BOOL off = FALSE;
    DWORD returned = 0;
    const bool connReset = WSAIoctl(s, SIO_UDP_CONNRESET, &off, sizeof off, nullptr, 0, &returned,
                                    nullptr, nullptr) == 0;
    WSAIoctl(s, SIO_UDP_NETRESET, &off, sizeof off, nullptr, 0, &returned, nullptr, nullptr);
    return connReset;
}

bool IsResetReport(int error) { return error == WSAECONNRESET || error == WSAENETRESET; }

// Waits up to `timeout` until `s` can send.
bool WaitWritable(SOCKET s, std::chrono::milliseconds timeout) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval tv{static_cast<long>(timeout.count() / 1000),
               static_cast<long>((timeout.count() % 1000) * 1000)};
    return select(0, nullptr, &set, nullptr, &tv) == 1;
}

}  // namespace

std::string SystemErrorText(int code) {
    wchar_t buffer[512] = {};
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, static_cast<DWORD>(code), 0, buffer,
                                        sizeof buffer / sizeof buffer[0], nullptr);
    std::wstring text(buffer, length);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
        text.pop_back();
    return text.empty() ? "Windows Sockets error " + std::to_string(code) : ToUtf8(text);
}

SocketHandle OpenUdpSocket() {
    if (!WinsockStarted()) return kInvalidSocket;
    const SOCKET s = WSASocketW(AF_INET, SOCK_DGRAM, IPPROTO_UDP, nullptr, 0,
                                WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
    if (!Record(s != INVALID_SOCKET)) return kInvalidSocket;
    // Receives never block: the caller waits with WaitReadable first.
    u_long nonBlocking = 1;
    if (!Record(ioctlsocket(s, FIONBIO, &nonBlocking) == 0)) {
        closesocket(s);
        return kInvalidSocket;
    }
    // Where the reports cannot be switched off, ReceiveDatagram skips them.
    SwitchOffResetReports(s);
    return static_cast<SocketHandle>(s);
}

bool EnableBroadcast(SocketHandle s) {
    const int on = 1;
    return Record(setsockopt(Native(s), SOL_SOCKET, SO_BROADCAST,
                             reinterpret_cast<const char*>(&on), sizeof on) == 0);
}

bool BindSocket(SocketHandle s, std::uint32_t address, std::uint16_t port) {
    const sockaddr_in sa = MakeAddress(address, port);
    return Record(bind(Native(s), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0);
}

std::optional<std::uint32_t> SocketLocalAddress(SocketHandle s) {
    const auto sa = LocalName(s);
    if (!sa) return std::nullopt;
    return ntohl(sa->sin_addr.s_addr);
}

std::optional<std::uint16_t> SocketLocalPort(SocketHandle s) {
    const auto sa = LocalName(s);
    if (!sa) return std::nullopt;
    return ntohs(sa->sin_port);
}

bool SendDatagram(SocketHandle s, const void* data, std::size_t size, std::uint32_t to,
                  std::uint16_t port) {
    const sockaddr_in sa = MakeAddress(to, port);
    // The socket does not block; a full send buffer is waited out briefly,
    // as a blocking send would.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int sent = sendto(Native(s), static_cast<const char*>(data), static_cast<int>(size),
                                0, reinterpret_cast<const sockaddr*>(&sa), sizeof sa);
        if (sent == static_cast<int>(size)) return Record(true);
        if (sent != SOCKET_ERROR) {
            SocketCallFailed(WSAEMSGSIZE);  // a datagram goes whole or not at all: not seen
            return false;
        }
        const int error = WSAGetLastError();
        if (error != WSAEWOULDBLOCK || !WaitWritable(Native(s), kSendWait)) {
            SocketCallFailed(error);
            return false;
        }
    }
    SocketCallFailed(WSAEWOULDBLOCK);
    return false;
}

std::size_t SetReceiveBuffer(SocketHandle s, std::size_t bytes) {
    const int wanted = static_cast<int>(bytes);
    setsockopt(Native(s), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&wanted),
               sizeof wanted);
    int granted = 0;
    int length = sizeof granted;
    if (!Record(getsockopt(Native(s), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<char*>(&granted),
                           &length) == 0))
        return 0;
    if (granted < 0) {
        SocketCallFailed(WSAEINVAL);
        return 0;
    }
    return static_cast<std::size_t>(granted);
}

bool EnableDropCount(SocketHandle) {
    SocketCallFailed(WSAENOPROTOOPT);  // Winsock keeps no such count
    return false;
}

bool ReadDropCount(SocketHandle, std::uint32_t&) {
    SocketCallFailed(WSAENOPROTOOPT);
    return false;
}

long ReceiveDatagram(SocketHandle s, void* buffer, std::size_t capacity, std::uint32_t*) {
    // Each reset report is taken off the socket by the receive that returns
    // it; the ones still queued are read past. The bound keeps a flood of
    // them from holding the caller.
    for (int report = 0; report < 64; ++report) {
        sockaddr_in from{};
        int length = sizeof from;
        const int received =
            recvfrom(Native(s), static_cast<char*>(buffer), static_cast<int>(capacity), 0,
                     reinterpret_cast<sockaddr*>(&from), &length);
        const int error = received == SOCKET_ERROR ? WSAGetLastError() : 0;
        if (error == 0 || error == WSAEMSGSIZE || error == WSAEWOULDBLOCK) SocketCallSucceeded();
        if (error == 0) return received;
        if (error == WSAEMSGSIZE) return static_cast<long>(capacity);  // read cut, as elsewhere
        if (error == WSAEWOULDBLOCK) return kNothingWaiting;
        if (!IsResetReport(error)) {
            SocketCallFailed(error);
            return kReceiveFailed;
        }
    }
    SocketCallSucceeded();
    return 0;
}

void CloseSocket(SocketHandle s) {
    if (s != kInvalidSocket) closesocket(Native(s));
}

// Two events: `wake`, set by Wake, and `readable`, which every socket waited
// on signals when a datagram arrives (WSAEventSelect). One wait on the two
// covers any number of sockets.
struct WaitWake::Handles {
    WSAEVENT wake = WSA_INVALID_EVENT;
    WSAEVENT readable = WSA_INVALID_EVENT;
};

WaitWake::WaitWake() : m_handles(std::make_unique<Handles>()) {
    if (!WinsockStarted()) return;
    m_handles->wake = WSACreateEvent();
    m_handles->readable = WSACreateEvent();
}

WaitWake::~WaitWake() {
    if (m_handles->wake != WSA_INVALID_EVENT) WSACloseEvent(m_handles->wake);
    if (m_handles->readable != WSA_INVALID_EVENT) WSACloseEvent(m_handles->readable);
}

void WaitWake::Wake() {
    if (m_handles->wake != WSA_INVALID_EVENT) WSASetEvent(m_handles->wake);
}

std::vector<SocketHandle> WaitReadable(const std::vector<SocketHandle>& sockets,
                                       std::chrono::milliseconds timeout, WaitWake& wake,
                                       bool& failed) {
    failed = false;
    std::vector<SocketHandle> ready;
    const WaitWake::Handles& events = wake.Native();
    if (events.wake == WSA_INVALID_EVENT || events.readable == WSA_INVALID_EVENT) {
        failed = true;
        SocketCallFailed(WSA_INVALID_HANDLE);
        return ready;
    }
    // Registering again is harmless, and a datagram already waiting signals
    // the event at once. The sockets stay non-blocking.
    for (SocketHandle s : sockets) WSAEventSelect(Native(s), events.readable, FD_READ);
    const WSAEVENT both[2] = {events.wake, events.readable};
    const DWORD result =
        WSAWaitForMultipleEvents(2, both, FALSE, static_cast<DWORD>(timeout.count()), FALSE);
    if (result == WSA_WAIT_FAILED) {
        failed = true;
        Record(false);
        return ready;
    }
    SocketCallSucceeded();
    if (result == WSA_WAIT_TIMEOUT) return ready;
    WSAResetEvent(events.wake);
    // Reset before the sockets are read: a datagram that arrives while they
    // are read sets it again (each receive re-enables the socket's report).
    if (WSAWaitForMultipleEvents(1, &events.readable, FALSE, 0, FALSE) == WSA_WAIT_EVENT_0) {
        WSAResetEvent(events.readable);
        ready = sockets;
    }
    return ready;
}

}  // namespace vimbrel::platform
