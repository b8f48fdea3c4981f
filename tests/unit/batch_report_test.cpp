// The message after a batch: one line per group, and the reason of the
// sends that went out nowhere.
#include <gtest/gtest.h>

#include <cerrno>

#include "operations/batch_report.h"

namespace vimbrel {
namespace {

TEST(BatchReport, NotSentLineGivesTheFirstReasonWhenKnown) {
    BatchReport report;
    report.unassigned = {L"SN-A"};
    report.notSent = {L"SN-B", L"SN-C"};
    EXPECT_EQ(BatchReportText(report),
              L"1 台设备未分配到IP地址：SN-A\n"
              L"2 台设备的命令未能发出（本机没有IPv4地址或发送失败）：SN-B、SN-C");

    NoteSendFailure(report, platform::SocketError{});  // no error: nothing to say
    EXPECT_TRUE(report.sendFailure.empty());
    NoteSendFailure(report, platform::SocketError{ENETUNREACH, "Network is unreachable"});
    NoteSendFailure(report, platform::SocketError{EPERM, "Operation not permitted"});
    EXPECT_EQ(report.sendFailure, L"Network is unreachable");
    EXPECT_EQ(BatchReportText(report),
              L"1 台设备未分配到IP地址：SN-A\n"
              L"2 台设备的命令未能发出（原因：Network is unreachable）：SN-B、SN-C");
}

TEST(BatchReport, ReasonIsUtf8AndAloneMakesNoMessage) {
    const char* const unreachable = "\xE7\xBD\x91\xE7\xBB\x9C\xE4\xB8\x8D\xE5\x8F\xAF\xE8\xBE\xBE";
    BatchReport report;
    NoteSendFailure(report, platform::SocketError{10051, unreachable});  // as Windows says it
    EXPECT_EQ(report.sendFailure, L"网络不可达");
    EXPECT_TRUE(report.Empty());
    EXPECT_TRUE(BatchReportText(report).empty());
}

}  // namespace
}  // namespace vimbrel
