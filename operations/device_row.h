#pragma once
// The texts of one device-list row, as a reply gives them: what the window
// shows in its columns and what the command line prints.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "operations/device_columns.h"
#include "protocol/device_packet.h"

namespace vimbrel {

struct DeviceRow {
    std::wstring serial;  // "生产系列号"
    std::wstring model;  // "产品型号"
    std::wstring ip;  // "IP地址", as the device reports it
    std::wstring mac;  // "MAC地址", the row's identity
    std::wstring port;  // "端口", "%ld" of the signed port
    std::wstring firmware;  // "固件版本号"
    std::wstring status;  // "运行状态"
    std::int32_t portNumber = 0;
};

DeviceRow MakeDeviceRow(const protocol::DeviceReply& reply);

// The row's texts in the order of kDeviceColumns, the row number `number`
// (1-based) first: what the window lists and the command line prints.
using RowTexts = std::array<std::wstring, column::kCount>;
RowTexts TextsInColumnOrder(const DeviceRow& row, std::size_t number);

}  // namespace vimbrel
