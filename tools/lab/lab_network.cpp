#include "tools/lab/lab_network.h"

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace vimbrel::lab {
namespace {

constexpr const char* kLabnet = VIMBREL_LABNET;
constexpr const char* kCamsim = VIMBREL_CAMSIM;

// Runs whose namespaces exist, for the signal handler. Fixed storage: the
// handler may only read it.
constexpr int kMaxRuns = 32;
struct LiveRun {
    std::atomic<bool> used{false};
    char name[64] = {};
};
LiveRun g_liveRuns[kMaxRuns];

std::mutex g_liveRunsWriter;

void RememberRun(const std::string& run) {
    std::lock_guard<std::mutex> lock(g_liveRunsWriter);
    for (LiveRun& slot : g_liveRuns) {
        if (slot.used.load() || run.size() >= sizeof slot.name) continue;
        std::snprintf(slot.name, sizeof slot.name, "%s", run.c_str());
        slot.used.store(true);
        return;
    }
}

void ForgetRun(const std::string& run) {
    std::lock_guard<std::mutex> lock(g_liveRunsWriter);
    for (LiveRun& slot : g_liveRuns)
        if (slot.used.load() && run == slot.name) slot.used.store(false);
}

// Async-signal-safe: fork, execve and waitpid only.
void DestroyLiveRunsFromSignal() {
    for (LiveRun& slot : g_liveRuns) {
        if (!slot.used.load()) continue;
        char program[] = "labnet";
        char command[] = "destroy";
        char* argv[] = {program, command, slot.name, nullptr};
        pid_t child = fork();
        if (child == 0) {
            execve(kLabnet, argv, environ);
            _exit(127);
        }
        if (child > 0) {
            int status = 0;
            while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
        }
        slot.used.store(false);
    }
}

void OnFatalSignal(int sig) {
    DestroyLiveRunsFromSignal();
    signal(sig, SIG_DFL);
    raise(sig);
}

// Runs labnet (argv without the program) and returns its output, standard
// error included. Throws with that output when it fails.
std::string RunLabnet(const std::vector<std::string>& args) {
    std::vector<std::string> strings = {"labnet"};
    strings.insert(strings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    argv.reserve(strings.size() + 1);
    for (std::string& s : strings) argv.push_back(s.data());
    argv.push_back(nullptr);

    std::vector<std::string> environment;
    for (char** e = environ; *e != nullptr; ++e)
        if (std::strncmp(*e, "VIMBREL_CAMSIM=", 15) != 0) environment.emplace_back(*e);
    environment.push_back(std::string("VIMBREL_CAMSIM=") + kCamsim);
    std::vector<char*> envp;
    envp.reserve(environment.size() + 1);
    for (std::string& s : environment) envp.push_back(s.data());
    envp.push_back(nullptr);

    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) throw std::runtime_error("labnet: pipe failed");
    pid_t child = fork();
    if (child < 0) {
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        throw std::runtime_error("labnet: fork failed");
    }
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        dup2(pipeEnds[1], STDERR_FILENO);
        execve(kLabnet, argv.data(), envp.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    std::string output;
    char chunk[4096];
    for (;;) {
        ssize_t n = read(pipeEnds[0], chunk, sizeof chunk);
        if (n > 0)
            output.append(chunk, static_cast<std::size_t>(n));
        else if (n == 0 || errno != EINTR)
            break;
    }
    close(pipeEnds[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::string command;
        for (const std::string& a : args) command += " " + a;
        throw std::runtime_error("labnet" + command + " failed: " + output);
    }
    return output;
}

void PrepareOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action {};
        action.sa_handler = OnFatalSignal;
        sigemptyset(&action.sa_mask);
        for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGABRT}) sigaction(sig, &action, nullptr);
        try {
            RunLabnet({"sweep"});
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
        }
    });
}

std::string NextRunName() {
    static std::atomic<int> counter{0};
    return "vb-" + std::to_string(getpid()) + "-" + std::to_string(++counter);
}

std::string LastLine(const std::string& text) {
    std::istringstream lines(text);
    std::string line, last;
    while (std::getline(lines, line))
        if (!line.empty()) last = line;
    return last;
}

std::vector<std::uint8_t> HexBytes(const std::string& hex) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

// The log's whole lines: a line the simulator is still writing has no end
// yet, and is left for the next read.
std::vector<std::string> LogLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        if (file.eof()) break;  // no newline after it
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

bool IsRoot() { return geteuid() == 0; }

bool RunningUnderCi() {
    const char* ci = std::getenv("CI");
    return ci != nullptr && std::strcmp(ci, "true") == 0;
}

void RequirePrivateNetwork() {
    if (!InInitialNetworkNamespace()) return;
    std::fprintf(stderr,
                 "lab test about to send in the machine's own network namespace; aborting\n");
    std::abort();
}

LabNetwork::LabNetwork() {
    m_run = NextRunName();
    m_computer = m_run + "-pc";
}

void LabNetwork::Create() {
    if (m_created) return;
    PrepareOnce();
    RememberRun(m_run);
    m_created = true;
    try {
        RunLabnet({"create", m_run});
    } catch (...) {
        try {
            RunLabnet({"destroy", m_run});
        } catch (...) {
        }
        ForgetRun(m_run);
        m_created = false;
        throw;
    }
}

LabNetwork::~LabNetwork() {
    if (m_originalNamespace >= 0) LeaveComputer();
    if (!m_created) return;
    try {
        RunLabnet({"destroy", m_run});
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    }
    ForgetRun(m_run);
}

int LabNetwork::AddLink(const std::string& address) {
    Create();
    int link = m_links;
    RunLabnet({"link", m_run, std::to_string(link), address});
    std::size_t slash = address.find('/');
    m_linkPrefixes.push_back(slash == std::string::npos ? "24" : address.substr(slash + 1));
    ++m_links;
    return link;
}

std::string LabNetwork::Attached(int link, const std::string& address) const {
    if (link < 0 || link >= m_links) throw std::invalid_argument("no such link");
    if (address.find('/') != std::string::npos) return address;
    return address + "/" + m_linkPrefixes[static_cast<std::size_t>(link)];
}

int LabNetwork::AddCamera(int link, const CameraConfig& config) {
    std::string name = "c" + std::to_string(++m_namespaces);
    std::vector<std::string> args = {"camera",
                                     m_run,
                                     std::to_string(link),
                                     name,
                                     Attached(link, config.ip),
                                     "--",
                                     "--serial",
                                     config.serial,
                                     "--model",
                                     config.model,
                                     "--ip",
                                     config.ip,
                                     "--mac",
                                     config.mac,
                                     "--port",
                                     std::to_string(config.port),
                                     "--firmware",
                                     config.firmware,
                                     "--status",
                                     config.status,
                                     "--count",
                                     std::to_string(config.count)};
    args.insert(args.end(), config.extraArgs.begin(), config.extraArgs.end());
    m_cameraLogs.push_back(LastLine(RunLabnet(args)));
    return static_cast<int>(m_cameraLogs.size()) - 1;
}

std::string LabNetwork::AddHost(int link, const std::string& address) {
    std::string name = "h" + std::to_string(++m_namespaces);
    RunLabnet({"host", m_run, std::to_string(link), name, Attached(link, address)});
    return name;
}

void LabNetwork::SetLoopback(bool up) {
    Create();
    RunLabnet({"loopback", m_run, up ? "up" : "down"});
}

void LabNetwork::EnterComputer() {
    Create();
    std::string path = "/run/netns/" + m_computer;
    int target = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (target < 0) throw std::runtime_error("cannot open " + path);
    if (m_originalNamespace < 0) {
        std::string own = "/proc/self/task/" + std::to_string(syscall(SYS_gettid)) + "/ns/net";
        m_originalNamespace = open(own.c_str(), O_RDONLY | O_CLOEXEC);
    }
    int result = setns(target, CLONE_NEWNET);
    close(target);
    if (result != 0) throw std::runtime_error("setns into " + m_computer + " failed");
    RequirePrivateNetwork();
}

void LabNetwork::LeaveComputer() {
    if (m_originalNamespace < 0) return;
    setns(m_originalNamespace, CLONE_NEWNET);
    close(m_originalNamespace);
    m_originalNamespace = -1;
}

std::vector<LoggedDatagram> LabNetwork::CameraLog(int camera) const {
    std::vector<LoggedDatagram> datagrams;
    for (const std::string& line : LogLines(m_cameraLogs.at(static_cast<std::size_t>(camera)))) {
        std::istringstream fields(line);
        std::string tag, time, length, hex;
        LoggedDatagram datagram;
        if (!(fields >> tag >> time >> datagram.source >> datagram.kind >> length) || tag != "rx")
            continue;
        fields >> hex;  // absent for an empty datagram
        datagram.time = std::stod(time);
        datagram.bytes = HexBytes(hex);
        datagrams.push_back(std::move(datagram));
    }
    return datagrams;
}

std::vector<std::string> LabNetwork::CameraEvents(int camera) const {
    std::vector<std::string> events;
    for (const std::string& line : LogLines(m_cameraLogs.at(static_cast<std::size_t>(camera)))) {
        if (line.rfind("event ", 0) != 0) continue;
        std::size_t afterTime = line.find(' ', 6);
        if (afterTime != std::string::npos) events.push_back(line.substr(afterTime + 1));
    }
    return events;
}

std::string LabNetwork::RunInComputer(const std::vector<std::string>& command) const {
    return RunInHost("pc", command);
}

std::string LabNetwork::RunInHost(const std::string& host,
                                  const std::vector<std::string>& command) const {
    std::vector<std::string> args = {"exec", m_run, host, "--"};
    args.insert(args.end(), command.begin(), command.end());
    return RunLabnet(args);
}

std::vector<double> LabNetwork::EventTimes(int camera, const std::string& words) const {
    std::vector<double> times;
    for (const std::string& line : LogLines(m_cameraLogs.at(static_cast<std::size_t>(camera)))) {
        std::istringstream fields(line);
        std::string tag, time;
        if (!(fields >> tag >> time) || tag != "event") continue;
        const std::size_t rest = line.find(' ', 6);
        if (rest != std::string::npos && line.compare(rest + 1, words.size(), words) == 0)
            times.push_back(std::stod(time));
    }
    return times;
}

}  // namespace vimbrel::lab
