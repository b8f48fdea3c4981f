#pragma once
// What the command buttons and the list's double click do to the selected
// devices. Everything runs on the window thread; commands are sent and
// forgotten.
#include <cstdint>
#include <functional>

#include <wx/listctrl.h>

#include "platform/arp_probe.h"
#include "protocol/local_sockets.h"

namespace vimbrel {

// Reboot, factory reset, motor start or stop: one command per selected row,
// addressed by the row's serial number, in list order.
void SendCommandToSelected(const wxListCtrl& list, protocol::LocalSockets& sockets,
                           std::int32_t command);

// The system's default browser: maximised through the shell on Windows, the
// toolkit's launcher elsewhere. The address is one argument, never a command.
bool OpenInDefaultBrowser(const wxString& address);

// Opens the web page of `row` with `open` when its address and port make a
// valid page address; a row of -1 (no row hit) opens nothing.
bool OpenDevicePage(const wxListCtrl& list, long row,
                    const std::function<bool(const wxString&)>& open);

// Asks for the network settings, then gives each selected device the next
// address that no host answers an ARP probe for.
void AutoAssignIP(wxWindow* parent, const wxListCtrl& list, protocol::LocalSockets& sockets,
                  platform::ArpProbe& probe);

// Asks for a model name; if it is one of the known names exactly, tells each
// selected device to report it.
void ChangeModel(wxWindow* parent, const wxListCtrl& list, protocol::LocalSockets& sockets);

}  // namespace vimbrel
