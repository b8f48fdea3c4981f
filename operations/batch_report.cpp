#include "operations/batch_report.h"

#include "platform/utf8_text.h"

namespace vimbrel {

bool BatchReport::Empty() const {
    return unassigned.empty() && badSerial.empty() && badMac.empty() && notSent.empty() &&
           notReached.empty() && addressTaken.empty() && notAnswering.empty();
}

void NoteSendFailure(BatchReport& report, const platform::SocketError& error) {
    if (report.sendFailure.empty() && error) report.sendFailure = platform::FromUtf8(error.text);
}

std::wstring DeviceName(const std::wstring& serial, const std::wstring& macText) {
    return serial.empty() ? macText : serial;
}

}  // namespace vimbrel
