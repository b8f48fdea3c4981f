// The search in rounds on real sockets in the private network: the rounds as
// the cameras receive them, and what they find on a site that loses
// datagrams both ways.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "session/device_session.h"
#include "session/search_rounds.h"
#include "tests/support/camera_log.h"
#include "tests/support/wait.h"
#include "tools/lab/lab_network.h"

namespace vimbrel::lab {
namespace {

using std::chrono::milliseconds;

// Seconds between two logged datagrams, in milliseconds.
double MsBetween(const LoggedDatagram& earlier, const LoggedDatagram& later) {
    return (later.time - earlier.time) * 1000.0;
}

TEST(SearchRoundsLab, EachLinkSeesThreeRoundsOfMulticastThenBroadcast) {
    LAB_REQUIRE_ROOT();
    LabNetwork lab;
    CameraConfig config;
    const int first = lab.AddCamera(lab.AddLink("192.168.2.100/24"), config);
    config.ip = "192.168.3.20";
    config.mac = "00:1A:2B:3C:4D:0B";
    const int second = lab.AddCamera(lab.AddLink("192.168.3.100/24"), config);
    lab.EnterComputer();
    RequirePrivateNetwork();

    DeviceSession session;
    session.Start(nullptr);
    std::vector<milliseconds> drawn;
    const DrawDelay random = RandomDelays();
    const std::vector<milliseconds> starts =
        RoundStarts(kSearchRounds, [&](milliseconds least, milliseconds most) {
            drawn.push_back(random(least, most));
            return drawn.back();
        });
    SearchStop stop;
    std::size_t sentRounds = 0;
    EXPECT_EQ(session.SendSearchRounds(starts, stop,
                                       [&](const protocol::SendReport& report) {
                                           EXPECT_EQ(report.sockets, 2u);
                                           EXPECT_EQ(report.sent, 4u);
                                           ++sentRounds;
                                       }),
              3u);
    ASSERT_EQ(drawn.size(), 2u);

    for (const int camera : {first, second}) {
        std::vector<LoggedDatagram> got;
        test::WaitUntil([&] { return (got = test::Received(lab, camera, 100)).size() >= 6; });
        ASSERT_EQ(got.size(), 6u) << "camera " << camera;
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].kind, i % 2 == 0 ? "multicast" : "broadcast") << i;
            ASSERT_EQ(got[i].bytes.size(), 344u);
            EXPECT_EQ(test::TextAt(got[i].bytes, 8).substr(0, 8), "IpCamera");
        }
        // 50 ms inside each pair; each round at its drawn start, counted
        // from the first. The starts are fixed from the search's start, and
        // the first round also opens the sockets, which a loaded machine can
        // hold up by some tens of milliseconds: the later rounds may come
        // that much sooner after it, never sooner than that. How late they
        // come is the benchmark's.
        for (std::size_t round = 0; round < 3; ++round)
            EXPECT_GE(MsBetween(got[2 * round], got[2 * round + 1]), 45.0) << round;
        EXPECT_GE(MsBetween(got[0], got[2]), drawn[0].count() - 60.0);
        EXPECT_GE(MsBetween(got[0], got[4]), (drawn[0] + drawn[1]).count() - 60.0);
    }
}

// Fifty cameras on two links; each misses a request, and loses a reply, with
// probability 20 %, and answers after 0–100 ms. A round's two requests then
// miss a camera with probability about 0.13; three rounds about 0.002.
class LossySite : public ::testing::Test {
protected:
    static constexpr std::size_t kCameras = 50;

    void Build() {
        for (int link = 0; link < 2; ++link) {
            const std::string net = "192.168." + std::to_string(2 + link) + ".";
            CameraConfig config;
            config.ip = net + "10";
            config.mac = link == 0 ? "00:1A:2B:3C:4D:01" : "00:1A:2B:3C:5D:01";
            config.serial = link == 0 ? "SN-A" : "SN-B";
            config.count = kCameras / 2;
            config.extraArgs = {"--loss-request", "0.2", "--loss-reply", "0.2",
                                "--reply-delay",  "100", "--seed",       std::to_string(7 + link)};
            m_lab.AddCamera(m_lab.AddLink(net + "100/24"), config);
        }
        m_lab.EnterComputer();
        RequirePrivateNetwork();
        m_session.Start(nullptr);
    }

    // The share of the camera-searches found by `searches` searches of
    // `rounds` rounds each.
    double FoundShare(std::size_t rounds, int searches) {
        std::size_t found = 0;
        const DrawDelay draw = RandomDelays();
        for (int search = 0; search < searches; ++search) {
            m_session.ClearTable(true);
            SearchStop stop;
            m_session.SendSearchRounds(RoundStarts(rounds, draw), stop, nullptr);
            // The last replies come within 100 ms of the last round.
            test::WaitUntil(
                [&] {
                    while (m_session.TakeReplies(std::chrono::steady_clock::now(), nullptr)) {
                    }
                    return m_session.Table().Rows().size() >= kCameras;
                },
                milliseconds(400));
            found += m_session.Table().Rows().size();
            EXPECT_EQ(m_session.Dropped(), 0u);
        }
        return static_cast<double>(found) / static_cast<double>(kCameras * searches);
    }

    LabNetwork m_lab;
    DeviceSession m_session;
};

TEST_F(LossySite, ThreeRoundsFindNearlyEveryCameraWhereOneMissesMany) {
    LAB_REQUIRE_ROOT();
    Build();
    const double one = FoundShare(1, 20);
    const double three = FoundShare(3, 20);
    EXPECT_GE(three, 0.99);
    // The site does lose: a single round misses about one camera in seven.
    EXPECT_GT(one, 0.75);
    EXPECT_LT(one, 0.95);
    RecordProperty("found_one_round", std::to_string(one));
    RecordProperty("found_three_rounds", std::to_string(three));
    std::printf("found: one round %.3f, three rounds %.3f\n", one, three);
}

}  // namespace
}  // namespace vimbrel::lab
