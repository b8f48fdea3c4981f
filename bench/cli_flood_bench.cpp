// vimbrel-cli's search under a flood of replies, each from a MAC of its own
// (tools/flood), sent to its socket by a host on the same link: its wall
// time against its --wait, its CPU time, how many cameras it listed, what it
// said on standard error and its exit code. Runs as root, in a private
// network.
//
//   vimbrel_cli_flood_bench [CLI] [COUNT] [RATE]
// CLI defaults to this build's vimbrel-cli: another build's compares.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tools/lab/lab_network.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// The port of the search's socket, from the socket table, once it is open.
int SearchPort(const vimbrel::lab::LabNetwork& net, pid_t child) {
    const std::regex line("192\\.168\\.2\\.100:([0-9]+) .*pid=" + std::to_string(child) + ",");
    const auto giveUp = Clock::now() + 5s;
    while (Clock::now() < giveUp) {
        const std::string table = net.RunInComputer({"ss", "-Hunap"});
        std::smatch match;
        if (std::regex_search(table, match, line)) return std::stoi(match[1]);
        std::this_thread::sleep_for(5ms);
    }
    return 0;
}

std::size_t Lines(const std::string& path) {
    std::ifstream in(path);
    std::size_t lines = 0;
    for (std::string l; std::getline(in, l);) ++lines;
    return lines;
}

}  // namespace

int main(int argc, char** argv) {
    if (!vimbrel::lab::IsRoot()) {
        std::fprintf(stderr,
                     "command-line flood benchmark: needs root (private network namespaces)\n");
        return 1;
    }
    const std::string cli = argc > 1 ? argv[1] : VIMBREL_CLI;
    const long count = argc > 2 ? std::atol(argv[2]) : 200000;
    const long rate = argc > 3 ? std::atol(argv[3]) : 20000;

    vimbrel::lab::LabNetwork net;
    net.SetLoopback(false);
    const int link = net.AddLink("192.168.2.100/24");
    const std::string host = net.AddHost(link, "192.168.2.200");
    net.EnterComputer();
    vimbrel::lab::RequirePrivateNetwork();

    const std::string out = "/tmp/vimbrel-cli-flood-" + std::to_string(getpid());
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        std::freopen((out + ".csv").c_str(), "w", stdout);
        std::freopen((out + ".err").c_str(), "w", stderr);
        execl(cli.c_str(), cli.c_str(), "search", "--wait", "2", "--format", "csv", nullptr);
        _exit(127);
    }
    const int port = SearchPort(net, child);
    std::thread flood([&] {
        if (port == 0) return;
        net.RunInHost(host, {VIMBREL_FLOOD, "--to", "192.168.2.100:" + std::to_string(port),
                             "--rate", std::to_string(rate), "--count", std::to_string(count)});
    });
    int status = 0;
    rusage used{};
    wait4(child, &status, 0, &used);
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    const double cpu = static_cast<double>(used.ru_utime.tv_sec + used.ru_stime.tv_sec) +
                       static_cast<double>(used.ru_utime.tv_usec + used.ru_stime.tv_usec) / 1e6;
    flood.join();
    net.LeaveComputer();

    std::ifstream err(out + ".err");
    std::string said;
    std::getline(err, said);
    std::printf(
        "%s\n  %ld replies at %ld/s to port %d: search --wait 2 took %.2f s wall, "
        "%.2f s CPU (%.0f%% of a core), listed %zu cameras, exit %d\n  stderr: %s\n",
        cli.c_str(), count, rate, port, wall, cpu, 100 * cpu / wall, Lines(out + ".csv") - 1,
        WIFEXITED(status) ? WEXITSTATUS(status) : -1, said.c_str());
    std::remove((out + ".csv").c_str());
    std::remove((out + ".err").c_str());
    return port != 0 ? 0 : 3;
}
