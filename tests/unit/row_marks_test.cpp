// The rules that mark a row of the device list.
#include <gtest/gtest.h>

#include "operations/row_marks.h"
#include "tests/support/addresses.h"

namespace vimbrel {
namespace {

using test::Ip;

const std::uint32_t kLocal = Ip(192, 168, 2, 100), kMask = Ip(255, 255, 255, 0);

TEST(RowMarks, SameAddressCountsTheOtherRowsAndOnlyRealAddresses) {
    const std::vector<RowMarks> marks = MarkRows({
        {L"192.168.2.10", kLocal, kMask},
        {L"192.168.2.11", kLocal, kMask},
        {L"192.168.2.10", kLocal, kMask},
        {L"192.168.2.10", kLocal, kMask},
        {L"", kLocal, kMask},
        {L"", kLocal, kMask},  // two empty addresses are no shared address
        {L"192.168.002.11", kLocal, kMask},  // not a dotted quad as the rules read it
    });
    ASSERT_EQ(marks.size(), 7u);
    EXPECT_EQ(marks[0].sameIpOthers, 2);
    EXPECT_EQ(marks[1].sameIpOthers, 0);
    EXPECT_EQ(marks[2].sameIpOthers, 2);
    EXPECT_EQ(marks[3].sameIpOthers, 2);
    for (std::size_t i : {4u, 5u, 6u}) EXPECT_FALSE(marks[i].Any()) << i;
    const MarkCounts counts = CountMarks(marks);
    EXPECT_EQ(counts.sameIp, 3u);
    EXPECT_EQ(counts.otherSubnet, 0u);
}

TEST(RowMarks, OtherSubnetByTheMaskOfTheLocalAddressItCameInOn) {
    const std::vector<RowMarks> marks = MarkRows({
        {L"192.168.2.254", kLocal, kMask},
        {L"192.168.3.1", kLocal, kMask},
        {L"192.168.3.1", kLocal, Ip(255, 255, 0, 0)},  // a /16 holds it
        {L"10.0.0.9", 0, 0},  // local address not known: no mark
        {L"10.0.0.9", kLocal, 0},
    });
    EXPECT_FALSE(marks[0].otherSubnet);
    EXPECT_TRUE(marks[1].otherSubnet);
    EXPECT_FALSE(marks[2].otherSubnet);
    EXPECT_FALSE(marks[3].otherSubnet);
    EXPECT_FALSE(marks[4].otherSubnet);
    EXPECT_EQ(marks[1].sameIpOthers, 1);  // and both rows hold 192.168.3.1
    EXPECT_EQ(CountMarks(marks).otherSubnet, 1u);
}

}  // namespace
}  // namespace vimbrel
