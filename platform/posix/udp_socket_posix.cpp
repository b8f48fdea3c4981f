// UDP sockets over the POSIX socket calls.
#include "platform/udp_socket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>
#ifdef __linux__
#include <linux/sock_diag.h>
#endif
#include <unistd.h>

#include "platform/socket_error_state.h"

namespace vimbrel::platform {

namespace {

// strerror_r comes in two kinds: the GNU one returns the text, the XSI one
// fills the buffer and returns 0.
[[maybe_unused]] const char* ErrorText(const char* text, const char*) { return text; }
[[maybe_unused]] const char* ErrorText(int result, const char* buffer) {
    return result == 0 ? buffer : nullptr;
}

// Records the outcome of a call that reports failure in errno.
bool Record(bool ok) {
    if (ok)
        SocketCallSucceeded();
    else
        SocketCallFailed(errno);
    return ok;
}

sockaddr_in MakeAddress(std::uint32_t address, std::uint16_t port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(address);
    sa.sin_port = htons(port);
    return sa;
}

std::optional<sockaddr_in> LocalName(SocketHandle s) {
    sockaddr_in sa{};
    socklen_t length = sizeof sa;
    if (!Record(getsockname(s, reinterpret_cast<sockaddr*>(&sa), &length) == 0))
        return std::nullopt;
    if (sa.sin_family != AF_INET) {
        SocketCallFailed(EAFNOSUPPORT);
        return std::nullopt;
    }
    return sa;
}

}  // namespace

std::string SystemErrorText(int code) {
    char buffer[256] = {};
    const char* text = ErrorText(strerror_r(code, buffer, sizeof buffer), buffer);
    return text && *text ? text : "error " + std::to_string(code);
}

SocketHandle OpenUdpSocket() {
    const int s = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    return Record(s >= 0) ? s : kInvalidSocket;
}

bool EnableBroadcast(SocketHandle s) {
    const int on = 1;
    return Record(setsockopt(s, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) == 0);
}

bool BindSocket(SocketHandle s, std::uint32_t address, std::uint16_t port) {
    const sockaddr_in sa = MakeAddress(address, port);
    return Record(bind(s, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0);
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
    const ssize_t sent =
        sendto(s, data, size, MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&sa), sizeof sa);
    if (sent >= 0 && sent != static_cast<ssize_t>(size)) {
        SocketCallFailed(EMSGSIZE);  // a datagram goes whole or not at all: not seen
        return false;
    }
    return Record(sent >= 0);
}

std::size_t SetReceiveBuffer(SocketHandle s, std::size_t bytes) {
    const int wanted = static_cast<int>(bytes);
#ifdef SO_RCVBUFFORCE
    // Past net.core.rmem_max with CAP_NET_ADMIN; refused without it.
    if (setsockopt(s, SOL_SOCKET, SO_RCVBUFFORCE, &wanted, sizeof wanted) != 0)
#endif
        setsockopt(s, SOL_SOCKET, SO_RCVBUF, &wanted, sizeof wanted);
    int granted = 0;
    socklen_t length = sizeof granted;
    if (!Record(getsockopt(s, SOL_SOCKET, SO_RCVBUF, &granted, &length) == 0)) return 0;
    if (granted < 0) {
        SocketCallFailed(EINVAL);
        return 0;
    }
    return static_cast<std::size_t>(granted);
}

bool EnableDropCount([[maybe_unused]] SocketHandle s) {
#ifdef SO_RXQ_OVFL
    const int on = 1;
    return Record(setsockopt(s, SOL_SOCKET, SO_RXQ_OVFL, &on, sizeof on) == 0);
#else
    SocketCallFailed(ENOPROTOOPT);
    return false;
#endif
}

bool ReadDropCount([[maybe_unused]] SocketHandle s, [[maybe_unused]] std::uint32_t& count) {
#if defined(__linux__) && defined(SO_MEMINFO)
    std::uint32_t info[SK_MEMINFO_VARS] = {};
    socklen_t length = sizeof info;
    if (!Record(getsockopt(s, SOL_SOCKET, SO_MEMINFO, info, &length) == 0)) return false;
    if (length < sizeof(std::uint32_t) * (SK_MEMINFO_DROPS + 1)) return false;
    count = info[SK_MEMINFO_DROPS];
    return true;
#else
    SocketCallFailed(ENOPROTOOPT);
    return false;
#endif
}

long ReceiveDatagram(SocketHandle s, void* buffer, std::size_t capacity, std::uint32_t* dropCount) {
    sockaddr_in from{};
    iovec data{buffer, capacity};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(std::uint32_t))];
    msghdr message{};
    message.msg_name = &from;
    message.msg_namelen = sizeof from;
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    ssize_t received;
    do {
        received = recvmsg(s, &message, MSG_DONTWAIT);
    } while (received < 0 && errno == EINTR);
    if (received < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        SocketCallSucceeded();
        return kNothingWaiting;
    }
    if (!Record(received >= 0)) return kReceiveFailed;
#ifdef SO_RXQ_OVFL
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); dropCount && c; c = CMSG_NXTHDR(&message, c))
        if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SO_RXQ_OVFL &&
            c->cmsg_len >= CMSG_LEN(sizeof(std::uint32_t)))
            std::memcpy(dropCount, CMSG_DATA(c), sizeof(std::uint32_t));
#endif
    return static_cast<long>(received);
}

void CloseSocket(SocketHandle s) {
    if (s != kInvalidSocket) close(s);
}

// A pipe whose read end the wait watches; both ends do not block. Without
// it (no descriptor left) waits only run out.
struct WaitWake::Handles {
    int read = -1;
    int write = -1;
};

WaitWake::WaitWake() : m_handles(std::make_unique<Handles>()) {
    int ends[2];
    if (pipe(ends) != 0) return;
    for (int end : ends) {
        fcntl(end, F_SETFL, fcntl(end, F_GETFL) | O_NONBLOCK);
        fcntl(end, F_SETFD, FD_CLOEXEC);
    }
    m_handles->read = ends[0];
    m_handles->write = ends[1];
}

WaitWake::~WaitWake() {
    if (m_handles->read >= 0) close(m_handles->read);
    if (m_handles->write >= 0) close(m_handles->write);
}

void WaitWake::Wake() {
    if (m_handles->write < 0) return;
    const char byte = 1;
    // A full pipe already wakes the wait.
    [[maybe_unused]] const ssize_t written = write(m_handles->write, &byte, 1);
}

std::vector<SocketHandle> WaitReadable(const std::vector<SocketHandle>& sockets,
                                       std::chrono::milliseconds timeout, WaitWake& wake,
                                       bool& failed) {
    failed = false;
    std::vector<SocketHandle> ready;
    std::vector<pollfd> fds;
    fds.reserve(sockets.size() + 1);
    const int wakeFd = wake.Native().read;
    fds.push_back(pollfd{wakeFd, POLLIN, 0});  // a negative descriptor is skipped
    for (SocketHandle s : sockets) fds.push_back(pollfd{s, POLLIN, 0});
    const int count = poll(fds.data(), fds.size(), static_cast<int>(timeout.count()));
    if (count < 0) {
        failed = errno != EINTR;
        Record(!failed);
        return ready;
    }
    SocketCallSucceeded();
    if (fds[0].revents & POLLIN) {
        char drained[64];
        while (read(wakeFd, drained, sizeof drained) > 0) {
        }
    }
    for (std::size_t i = 1; i < fds.size(); ++i)
        if (fds[i].revents & (POLLIN | POLLERR | POLLHUP)) ready.push_back(fds[i].fd);
    return ready;
}

}  // namespace vimbrel::platform
