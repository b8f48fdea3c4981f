#pragma once
// The ids of the dialog templates and of their controls. The templates name
// their objects by these numbers (a numeric resource name is the control's
// id); the window, its tests and the benchmark find the controls through
// these names only. The window tests find each in its template.
#include <array>

#include <wx/defs.h>

namespace vimbrel::ids {

// Templates.
inline constexpr const char kSearchDeviceDialog[] = "102";
inline constexpr const char kModifyIPDialog[] = "278";
inline constexpr const char kChangeHwModleDialog[] = "130";

// The main window (102). Button 1 is wxID_OK, the hidden default button;
// button 2 is wxID_CANCEL, "退出".
inline constexpr int kDeviceList = 1003;
inline constexpr int kCheckAll = 1004;
inline constexpr int kSearch = 1005;
inline constexpr int kAutoAssignIP = 1006;
inline constexpr int kStaticOnline = 1007;
inline constexpr int kReboot = 1008;
inline constexpr int kFactoryReset = 1009;
inline constexpr int kChangeModel = 1012;
inline constexpr int kMotorStart = 1013;
inline constexpr int kMotorStop = 1014;
// The label "在线设备:" in front of the count; the layout places it.
inline constexpr int kOnlineLabel = 1015;
// The seven command buttons, in the order of m_btnCommand.
inline constexpr std::array<int, 7> kCommandButtons = {
    kAutoAssignIP, wxID_OK, kReboot, kFactoryReset, kMotorStart, kMotorStop, kChangeModel,
};

// The network settings dialog (278).
inline constexpr int kStartIP = 1008;
inline constexpr int kSubnetMask = 1009;
inline constexpr int kGateway = 1010;

// The product model dialog (130).
inline constexpr int kModelCombo = 1011;

}  // namespace vimbrel::ids
