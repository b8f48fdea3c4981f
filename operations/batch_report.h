#pragma once
// What a batch over the selected devices did not do, gathered for one
// message after the batch (the window words it: operations_ui/report_words.h).
// No toolkit.
#include <string>
#include <vector>

#include "platform/socket_error.h"

namespace vimbrel {

// Devices named by their serial number (their MAC text when the serial
// number is empty), in list order within each group.
struct BatchReport {
    std::vector<std::wstring> unassigned;  // no free address was left for it
    std::vector<std::wstring> badSerial;  // serial number doesn't fit its field
    std::vector<std::wstring> badMac;  // MAC text isn't six octets
    std::vector<std::wstring> notSent;  // no local address, or every send failed
    std::vector<std::wstring> notReached;  // the batch was cancelled before it
    std::vector<std::wstring> addressTaken;  // another host holds its planned address
    std::vector<std::wstring> notAnswering;  // did not answer from its new address in time
    // Why the first of the sends that went out nowhere failed, in the
    // system's words; empty when that is not known (no local address).
    std::wstring sendFailure;

    bool Empty() const;  // no device in any group
};

// Keeps the reason of `error` as the report's sendFailure unless it has one.
void NoteSendFailure(BatchReport& report, const platform::SocketError& error);

// A device's name in the report.
std::wstring DeviceName(const std::wstring& serial, const std::wstring& macText);

}  // namespace vimbrel
