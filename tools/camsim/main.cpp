// camsim: plays one or many network cameras on UDP port 9876 for tests,
// demos and benchmarks. Runs only inside a private network namespace.
#include <arpa/inet.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <chrono>
#include <ctime>
#include <thread>
#include <memory>
#include <vector>

#include "platform/ipv4_text.h"
#include "protocol/device_packet.h"
#include "tools/camsim/datagram_log.h"
#include "tools/camsim/device_socket.h"
#include "tools/camsim/interface_address.h"
#include "tools/lab/network_namespace.h"
#include "tools/camsim/options.h"
#include "tools/camsim/request_kind.h"
#include "tools/camsim/sim_camera.h"
#include "tools/camsim/site_losses.h"

namespace vimbrel::camsim {
namespace {

std::string IpPlus(std::uint32_t base, int step) {
    return platform::FormatIPv4(base + static_cast<std::uint32_t>(step));
}

protocol::MacBytes MacPlus(const protocol::MacBytes& base, int step) {
    std::uint64_t value = 0;
    for (std::uint8_t byte : base) value = value << 8 | byte;
    value += static_cast<std::uint64_t>(step);
    protocol::MacBytes mac{};
    for (int i = 5; i >= 0; --i) {
        mac[i] = static_cast<std::uint8_t>(value);
        value >>= 8;
    }
    return mac;
}

bool MakeCameras(const SimOptions& options, std::vector<SimCamera>& cameras, std::string& error) {
    const std::optional<protocol::MacBytes> mac = protocol::ParseMacText(options.mac);
    const std::optional<std::uint32_t> ip = platform::ParseIPv4(options.ip);
    if (!mac)
        error = "bad --mac " + options.mac;
    else if (!ip)
        error = "bad --ip " + options.ip;
    if (!error.empty()) return false;

    CameraSettings base;
    base.model = Utf8ToGbk(options.model);
    base.port = options.port;
    base.firmware = Utf8ToGbk(options.firmware);
    base.status = Utf8ToGbk(options.status);
    base.prefix =
        options.iface.empty() ? 24 : InterfacePrefix(options.iface, options.ip).value_or(24);
    for (int i = 0; i < options.count; ++i) {
        CameraSettings settings = base;
        std::string serial = options.serial;
        if (options.count > 1) {
            char suffix[16];
            std::snprintf(suffix, sizeof suffix, "-%04d", i + 1);
            serial += suffix;
        }
        settings.serial = Utf8ToGbk(serial);
        settings.ip = IpPlus(*ip, i);
        settings.mac = MacPlus(*mac, i);
        cameras.emplace_back(settings, options.rebootSeconds, options.ignoreSetNetwork);
    }
    return true;
}

// The receive loop's handling of one datagram.
class Responder {
public:
    Responder(const SimOptions& options, std::vector<SimCamera>& cameras, DeviceSocket& socket,
              DatagramLog& log)
        : m_options(options),
          m_cameras(cameras),
          m_socket(socket),
          m_log(log),
          m_losses(LossOptions{options.lossRequest, options.lossReply, options.replyDelayMs,
                               options.seed}) {}

    // Milliseconds until a delayed reply is due; -1 when none waits.
    int MsUntilNextReply() const { return m_delayed.MsUntilNext(Clock::now()); }
    // Sends the delayed replies that are due, unless the site loses them.
    void SendDueReplies() {
        for (const DelayedReplies::Reply& reply : m_delayed.TakeDue(Clock::now())) Answer(reply);
    }

    void Handle(const std::uint8_t* bytes, const Arrival& arrival) {
        std::size_t size = static_cast<std::size_t>(arrival.size);
        m_log.Received(arrival.received, AddressText(arrival.source),
                       DestinationKind(arrival.destination), bytes, size);
        std::time_t now = std::time(nullptr);
        if (IsSearchRequest(bytes, size)) {
            // Real cameras don't answer in the same microsecond.
            const auto gap = std::chrono::microseconds(m_options.replySpreadMs * 1000LL /
                                                       static_cast<long long>(m_cameras.size()));
            int answered = 0;
            for (const SimCamera& camera : m_cameras) {
                if (camera.Silent(now)) continue;
                if (m_losses.MissesRequest()) continue;
                if (gap.count() > 0) std::this_thread::sleep_for(gap);
                DelayedReplies::Reply reply{Clock::now() + m_losses.ReplyDelay(),
                                            camera.BuildReply(), arrival.source, arrival.ifindex};
                if (m_options.replyDelayMs > 0)
                    m_delayed.Add(reply);
                else
                    Answer(reply);
                ++answered;
            }
            m_log.Event("answered " + std::to_string(answered));
            return;
        }
        std::optional<std::int32_t> code = CommandCode(bytes, size);
        if (!code) return;
        for (SimCamera& camera : m_cameras) {
            if (camera.Silent(now)) continue;
            std::optional<CommandOutcome> outcome = camera.Apply(*code, bytes, now);
            if (!outcome) continue;
            m_log.Event(camera.Settings().serial + " " + outcome->description);
            if (outcome->addressChanged) MoveInterface(camera.Settings());
        }
    }

private:
    using Clock = std::chrono::steady_clock;

    void Answer(const DelayedReplies::Reply& reply) {
        if (m_losses.LosesReply()) return;
        m_socket.Send(reply.bytes.data(), reply.bytes.size(), reply.to, reply.ifindex);
    }

    void MoveInterface(const CameraSettings& settings) {
        // Several cameras share one interface; only a lone camera owns it.
        if (m_options.iface.empty() || m_cameras.size() != 1) return;
        bool moved = MoveInterfaceAddress(m_options.iface, settings.ip, settings.prefix);
        m_socket.JoinGroupEverywhere();
        m_log.Event(std::string(moved ? "moved " : "move-failed ") + m_options.iface + " " +
                    settings.ip + "/" + std::to_string(settings.prefix));
    }

    const SimOptions& m_options;
    std::vector<SimCamera>& m_cameras;
    DeviceSocket& m_socket;
    DatagramLog& m_log;
    SiteLosses m_losses;
    DelayedReplies m_delayed;
};

// A signalfd for SIGTERM and SIGINT, which are blocked while it lives.
class StopSignals {
public:
    StopSignals() {
        sigemptyset(&m_set);
        sigaddset(&m_set, SIGTERM);
        sigaddset(&m_set, SIGINT);
        sigprocmask(SIG_BLOCK, &m_set, nullptr);
        m_fd = signalfd(-1, &m_set, SFD_CLOEXEC | SFD_NONBLOCK);
    }
    ~StopSignals() {
        if (m_fd >= 0) close(m_fd);
        sigprocmask(SIG_UNBLOCK, &m_set, nullptr);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;
    int fd() const { return m_fd; }

private:
    sigset_t m_set{};
    int m_fd = -1;
};

int Run(int argc, char** argv) {
    std::string error;
    std::optional<SimOptions> options = ParseOptions(argc, argv, error);
    if (!options) {
        std::fprintf(stderr, "camsim: %s\n%s", error.c_str(), Usage());
        return 2;
    }
    if (vimbrel::lab::InInitialNetworkNamespace()) {
        std::fprintf(stderr,
                     "camsim: refusing to run in the machine's own network namespace; "
                     "start it in a private one (scripts/labnet camera ...)\n");
        return 3;
    }
    std::vector<SimCamera> cameras;
    if (!MakeCameras(*options, cameras, error)) {
        std::fprintf(stderr, "camsim: %s\n", error.c_str());
        return 2;
    }
    DatagramLog log(options->logPath);
    if (!log.ok()) {
        std::fprintf(stderr, "camsim: cannot open log %s\n", options->logPath.c_str());
        return 1;
    }
    StopSignals signals;
    DeviceSocket socket(protocol::DEVICE_PORT);
    if (!socket.ok() || signals.fd() < 0) {
        std::perror("camsim: socket");
        return 1;
    }
    log.Ready();

    Responder responder(*options, cameras, socket, log);
    std::vector<std::uint8_t> buffer(65536);
    for (;;) {
        pollfd waits[2] = {{socket.fd(), POLLIN, 0}, {signals.fd(), POLLIN, 0}};
        if (poll(waits, 2, responder.MsUntilNextReply()) < 0) {
            if (errno == EINTR) continue;
            std::perror("camsim: poll");
            return 1;
        }
        if (waits[1].revents & POLLIN) break;
        responder.SendDueReplies();
        if (waits[0].revents & POLLIN) {
            for (;;) {
                Arrival arrival = socket.Receive(buffer.data(), buffer.size());
                if (arrival.size < 0) break;
                responder.Handle(buffer.data(), arrival);
            }
        }
    }
    log.Event("stop");
    return 0;
}

}  // namespace
}  // namespace vimbrel::camsim

int main(int argc, char** argv) { return vimbrel::camsim::Run(argc, argv); }
