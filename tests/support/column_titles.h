#pragma once
// The device list's eight column titles as the user reads them, in order and
// separated by tabs (UTF-8): the list's header, and the first line of the
// rows copied from it.
namespace vimbrel::test {

inline constexpr const char* kColumnTitles =
    "索引\t生产系列号\t产品型号\tIP地址\tMAC地址\t端口\t固件版本号\t运行状态";

}  // namespace vimbrel::test
