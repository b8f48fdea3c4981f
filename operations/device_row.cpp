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

}  // namespace vimbrel
