// The search on a site that loses datagrams: each simulated camera misses a
// search request, and loses its reply, with the same probability, and
// answers after a random 0–100 ms. Runs as root, in private networks.
//
//   vimbrel_lossy_search_bench [table|cli] [CLI]
// table: the share of the camera-searches found over 20 searches of 200
//        cameras (two links), for 1 to 4 rounds at 0, 5, 10, 20 and 30 %
//        loss each way (the session's own search).
// cli:   vimbrel-cli search --wait 2 run ten times against fifty cameras at
//        20 % loss, with --rounds 1 and --rounds 3 (the same seeds): the
//        share found, the longest run and the exit codes.
// No argument runs both. CLI defaults to this build's vimbrel-cli.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "session/device_session.h"
#include "session/search_rounds.h"
#include "tools/lab/lab_network.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using vimbrel::lab::CameraConfig;
using vimbrel::lab::LabNetwork;

// `cameras` on two links, every simulator with the same loss and its own
// fixed seed: a new network replays the same losses.
std::unique_ptr<LabNetwork> LossyLab(int cameras, int lossPercent) {
    auto net = std::make_unique<LabNetwork>();
    const std::string loss = std::to_string(lossPercent / 100.0);
    for (int link = 0; link < 2; ++link) {
        const std::string prefix = "192.168." + std::to_string(2 + link) + ".";
        CameraConfig config;
        config.ip = prefix + "10";
        config.mac = link == 0 ? "00:1A:2B:3C:4D:01" : "00:1A:2B:3C:5D:01";
        config.serial = link == 0 ? "SN-A" : "SN-B";
        config.count = cameras / 2;
        config.extraArgs = {"--loss-request", loss,  "--loss-reply", loss,
                            "--reply-delay",  "100", "--seed",       std::to_string(11 + link)};
        net->AddCamera(net->AddLink(prefix + "100/24"), config);
    }
    net->EnterComputer();
    vimbrel::lab::RequirePrivateNetwork();
    return net;
}

double SessionShare(int cameras, int lossPercent, std::size_t rounds, int searches) {
    const auto net = LossyLab(cameras, lossPercent);
    std::size_t found = 0;
    {
        vimbrel::DeviceSession session;
        session.Start(nullptr);
        const vimbrel::DrawDelay draw = vimbrel::RandomDelays();
        for (int search = 0; search < searches; ++search) {
            session.ClearTable(true);
            vimbrel::SearchStop stop;
            session.SendSearchRounds(vimbrel::RoundStarts(rounds, draw), stop, nullptr);
            // The last replies come within 100 ms of the last round.
            const auto end = Clock::now() + 300ms;
            while (Clock::now() < end && session.Table().Rows().size() < std::size_t(cameras)) {
                while (session.TakeReplies(Clock::now(), nullptr)) {
                }
                std::this_thread::sleep_for(5ms);
            }
            found += session.Table().Rows().size();
        }
        session.Stop();
    }
    net->LeaveComputer();
    return static_cast<double>(found) / (static_cast<double>(cameras) * searches);
}

void Table() {
    const int losses[] = {0, 5, 10, 20, 30};
    std::printf("found share, 20 searches of 200 cameras on two links, reply delay 0-100 ms\n");
    std::printf("| rounds |");
    for (int loss : losses) std::printf(" %d %% |", loss);
    std::printf("\n|---|---|---|---|---|---|\n");
    for (std::size_t rounds = 1; rounds <= 4; ++rounds) {
        std::printf("| %zu |", rounds);
        for (int loss : losses) {
            std::printf(" %.1f %% |", 100 * SessionShare(200, loss, rounds, 20));
            std::fflush(stdout);
        }
        std::printf("\n");
    }
}

struct CliRun {
    std::size_t listed = 0;
    double seconds = 0;
    int exitCode = -1;
};

CliRun RunCli(const std::string& cli, const std::string& rounds) {
    const std::string out = "/tmp/vimbrel-lossy-" + std::to_string(getpid()) + ".csv";
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        std::freopen(out.c_str(), "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        execl(cli.c_str(), cli.c_str(), "search", "--wait", "2", "--rounds", rounds.c_str(),
              "--format", "csv", nullptr);
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    CliRun run;
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(out);
    for (std::string line; std::getline(in, line);) ++run.listed;
    if (run.listed > 0) --run.listed;  // the header
    std::remove(out.c_str());
    return run;
}

void Cli(const std::string& cli) {
    for (const char* rounds : {"1", "3"}) {
        const auto net = LossyLab(50, 20);
        std::size_t found = 0;
        double longest = 0;
        std::string listed, codes;
        for (int run = 0; run < 10; ++run) {
            const CliRun r = RunCli(cli, rounds);
            found += r.listed;
            longest = std::max(longest, r.seconds);
            listed += " " + std::to_string(r.listed);
            codes += " " + std::to_string(r.exitCode);
        }
        net->LeaveComputer();
        std::printf(
            "vimbrel-cli search --wait 2 --rounds %s, 50 cameras at 20 %% loss each way, 10 runs:\n"
            "  found %.1f %% (listed:%s), longest run %.2f s, exit codes:%s\n",
            rounds, 100.0 * static_cast<double>(found) / 500.0, listed.c_str(), longest,
            codes.c_str());
        std::fflush(stdout);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (!vimbrel::lab::IsRoot()) {
        std::fprintf(stderr, "lossy search benchmark: needs root (private network namespaces)\n");
        return 1;
    }
    const std::string what = argc > 1 ? argv[1] : "";
    const std::string cli = argc > 2 ? argv[2] : VIMBREL_CLI;
    if (what.empty() || what == "cli") Cli(cli);
    if (what.empty() || what == "table") Table();
    return 0;
}
