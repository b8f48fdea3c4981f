#pragma once
// The device list's eight columns: their order, titles and first widths.
// The window builds the list from this, the operations read cells by these
// names, and the command line prints the same titles.
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

struct ColumnLayout {
    const wchar_t* title;
    int width;  // pixels, before the stored widths are applied
};

inline constexpr std::array<ColumnLayout, column::kCount> kDeviceColumns = {{
    {L"索引", 60},
    {L"生产系列号", 180},
    {L"产品型号", 100},
    {L"IP地址", 170},
    {L"MAC地址", 190},
    {L"端口", 60},
    {L"固件版本号", 130},
    {L"运行状态", 220},
}};

}  // namespace vimbrel
