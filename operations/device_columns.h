#pragma once
// The device list's eight columns: their order, titles, first widths, keys
// and types. The window builds the list from this, the operations read cells
// by these names, the command line prints the same titles, JSON and CSV name
// the fields by the keys (device_csv.h), and JSON writes a number column's
// value as a number.
#include <array>

namespace vimbrel {

namespace column {
enum : int {
    kIndex,  // row number, 1-based
    kSerial,  // serial number
    kModel,  // product model
    kAddress,  // IP address
    kMac,  // MAC address, the row's identity
    kPort,  // web port
    kFirmware,  // firmware version
    kStatus,  // running status
    kCount,
};
}  // namespace column

enum class ColumnType {
    kText,
    kNumber,  // its text is a whole number
};

struct ColumnLayout {
    const wchar_t* title;
    int width;  // pixels, before the stored widths are applied
    const char* key;  // the JSON and CSV key; none for the row number
    ColumnType type;
};

inline constexpr std::array<ColumnLayout, column::kCount> kDeviceColumns = {{
    {L"索引", 60, nullptr, ColumnType::kNumber},
    {L"生产系列号", 180, "serial", ColumnType::kText},
    {L"产品型号", 100, "model", ColumnType::kText},
    {L"IP地址", 170, "ip", ColumnType::kText},
    {L"MAC地址", 190, "mac", ColumnType::kText},
    {L"端口", 60, "port", ColumnType::kNumber},
    {L"固件版本号", 130, "firmware", ColumnType::kText},
    {L"运行状态", 220, "status", ColumnType::kText},
}};

}  // namespace vimbrel
