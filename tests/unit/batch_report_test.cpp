// The reason of the sends that went out nowhere, kept for the message after
// a batch.
#include <gtest/gtest.h>

#include <cerrno>

#include "operations/batch_report.h"

namespace vimbrel {
namespace {

TEST(BatchReport, TheFirstReasonIsKept) {
    BatchReport report;
    report.notSent = {L"SN-B", L"SN-C"};
    NoteSendFailure(report, platform::SocketError{});  // no error: nothing to say
    EXPECT_TRUE(report.sendFailure.empty());
    NoteSendFailure(report, platform::SocketError{ENETUNREACH, "Network is unreachable"});
    NoteSendFailure(report, platform::SocketError{EPERM, "Operation not permitted"});
    EXPECT_EQ(report.sendFailure, L"Network is unreachable");
    EXPECT_FALSE(report.Empty());
}

TEST(BatchReport, ReasonIsUtf8AndAloneMakesNoMessage) {
    const char* const unreachable = "\xE7\xBD\x91\xE7\xBB\x9C\xE4\xB8\x8D\xE5\x8F\xAF\xE8\xBE\xBE";
    BatchReport report;
    NoteSendFailure(report, platform::SocketError{10051, unreachable});  // as Windows says it
    EXPECT_EQ(report.sendFailure, L"网络不可达");
    EXPECT_TRUE(report.Empty());
}

}  // namespace
}  // namespace vimbrel
