#pragma once
// What the command buttons and the list's double click do to the selected
// devices. The handlers run on the window thread; the sends (and the address
// probes) of a batch run on a worker thread one device after the other,
// under a progress dialog once they take long. Commands are sent and
// forgotten; what a batch could not do is said in one message after it.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "controls_ui/sort_list_ctrl.h"

#include "platform/arp_probe.h"
#include "session/address_confirmation.h"
#include "session/device_session.h"

namespace vimbrel {

// Shows one message to the user: a message box in the program.
using TellUser = std::function<void(const wxString&)>;
// Asks the user a yes/no question: a message box with No as the default in
// the program. True for yes.
using AskUser = std::function<bool(const wxString&)>;

// Said when a dialog template can't be loaded.
extern const wchar_t* const kResourceLoadFailed;

// The handlers act on the selected rows' devices: the session's table rows
// the list's rows are tagged with (selected_rows.h), in the list's order.

// Reboot, factory reset, motor start or stop: one command per selected row,
// addressed by the row's serial number, in list order. A row whose serial
// number doesn't fit its field is skipped.
void SendCommandToSelected(wxWindow* parent, const CSortListCtrl& list, DeviceSession& session,
                           std::int32_t command, const TellUser& tell);

// The question before a factory reset of `devices` rows.
wxString FactoryResetQuestion(int devices);

// A factory reset of the selected rows, once the user has said yes to
// FactoryResetQuestion; nothing is asked when no row is selected.
void FactoryResetSelected(wxWindow* parent, const CSortListCtrl& list, DeviceSession& session,
                          const AskUser& ask, const TellUser& tell);

// The system's default browser: maximised through the shell on Windows, the
// toolkit's launcher elsewhere. The address is one argument, never a command.
bool OpenInDefaultBrowser(const wxString& address);

// Opens the web page of list row `row` with `open` when its device's address
// and port make a valid page address; a row of -1 (no row hit) opens
// nothing. When `open` fails, `tell` says so with the address. True when
// there was a page to open.
bool OpenDevicePage(const CSortListCtrl& list, const DeviceTable& table, long row,
                    const std::function<bool(const wxString&)>& open, const TellUser& tell);

// Asks for the network settings; refuses a broken mask or a gateway outside
// the start address's network; asks (AgreedToOffLinkMoves) before moving
// devices off the network they answered through; then gives each selected
// device the next address that may be handed out and no host answers an ARP
// probe for. Returns the devices whose command went out.
std::vector<MovedDevice> AutoAssignIP(wxWindow* parent, const CSortListCtrl& list,
                                      DeviceSession& session, platform::ArpProbe& probe,
                                      const AskUser& ask, const TellUser& tell);

// Asks for a model name; if it is one of the known names exactly, tells each
// selected device to report it, else says it is not known and sends nothing.
void ChangeModel(wxWindow* parent, const CSortListCtrl& list, DeviceSession& session,
                 const TellUser& tell);

}  // namespace vimbrel
