#pragma once
// What a row of the device list needs at a glance. No toolkit; the window
// marks its rows with these rules and words them (app/row_marks_view.cpp).
//
// - Same IP: the row's address is also the address of other rows (several
//   cameras on one factory address). Rows whose address is no dotted quad
//   are never counted.
// - Other subnet: the row's address lies outside the network of the local
//   address its reply came in on, so its web page cannot open from here.
//   Not known (never marked) when the local address or its mask is not.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vimbrel {

struct MarkedRow {
    std::wstring ip;  // the row's "IP地址" text
    std::uint32_t localAddress = 0;  // the reply came in on it; 0 when not known
    std::uint32_t localMask = 0;  // of that local address; 0 when not known
};

struct RowMarks {
    int sameIpOthers = 0;  // other rows with the same address
    bool otherSubnet = false;
    bool Any() const { return sameIpOthers > 0 || otherSubnet; }
};

// The marks of every row, in the order given.
std::vector<RowMarks> MarkRows(const std::vector<MarkedRow>& rows);

// The rows with each problem.
struct MarkCounts {
    std::size_t sameIp = 0, otherSubnet = 0;
};
MarkCounts CountMarks(const std::vector<RowMarks>& marks);

}  // namespace vimbrel
