// vimbrel-cli --verbose: after the search, the receive thread's errors on
// stderr; without it, nothing of them.
#include <gtest/gtest.h>

#include "tests/cli/cli_lab.h"

namespace vimbrel::test {
namespace {

TEST(VerboseCli, TheSearchEndsWithTheReceiveErrorCountsOnlyWhenAsked) {
    LAB_REQUIRE_ROOT();
    lab::LabNetwork net;
    net.AddCamera(net.AddLink("192.168.2.100/24"), lab::CameraConfig{});
    net.EnterComputer();

    const CliRun verbose = RunCliHere({"--verbose", "search", "--format", "csv", "--wait", "0.3"});
    EXPECT_EQ(verbose.exitCode, 0) << verbose.err;
    EXPECT_EQ(verbose.err, "receive errors: wait 0, receive 0\n");

    const CliRun quiet = RunCliHere({"search", "--format", "csv", "--wait", "0.3"});
    EXPECT_EQ(quiet.exitCode, 0) << quiet.err;
    EXPECT_EQ(quiet.err, "");
    EXPECT_EQ(quiet.out, verbose.out);
}

}  // namespace
}  // namespace vimbrel::test
