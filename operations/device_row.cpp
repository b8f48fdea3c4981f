#include "operations/device_row.h"

namespace vimbrel {

DeviceRow MakeDeviceRow(const protocol::DeviceReply& reply) {
    DeviceRow row;
    row.serial = reply.SerialNo();
    row.model = reply.ModelName();
    row.ip = reply.IpText();
    row.mac = reply.MacText();
    row.portNumber = reply.Port();
    row.port = std::to_wstring(static_cast<long>(row.portNumber));
    row.firmware = reply.FirmwareVersion();
    row.status = reply.RunStatus();
    return row;
}

RowTexts TextsInColumnOrder(const DeviceRow& row, std::size_t number) {
    RowTexts texts;
    texts[column::kIndex] = std::to_wstring(number);
    texts[column::kSerial] = row.serial;
    texts[column::kModel] = row.model;
    texts[column::kAddress] = row.ip;
    texts[column::kMac] = row.mac;
    texts[column::kPort] = row.port;
    texts[column::kFirmware] = row.firmware;
    texts[column::kStatus] = row.status;
    return texts;
}

}  // namespace vimbrel
