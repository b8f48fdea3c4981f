#pragma once
// A main window in the private network, with helpers that drive it the way
// a user would: buttons, the select-all box, clicks and modal dialogs.
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/stattext.h>

#include "app/search_device_dlg.h"
#include "operations/device_columns.h"
#include "res/control_ids.h"
#include "tests/window/pump.h"
#include "tools/lab/lab_network.h"

namespace vimbrel::test {

// The child window in which the generic list draws its rows and takes their
// mouse events.
wxWindow& RowsWindow(wxListCtrl& list);

// Runs `answer` on the next modal dialog once it is shown (the window's
// handler is then inside the dialog's own event loop).
void AnswerNextDialog(std::function<void(wxDialog&)> answer);
// Presses a button of a dialog as a user would (OK checks and reads the
// controls before the dialog ends).
void PressDialogButton(wxDialog& dialog, int id);

// A probe with scripted answers that records what it was asked, in the
// order the assignment started the probes (on the batch's worker thread:
// read `asked` after the handler has returned). The probes themselves run
// side by side on threads of their own; Calls() may be read at any time.
class ScriptedArpProbe : public platform::ArpProbe {
public:
    explicit ScriptedArpProbe(std::vector<std::uint32_t> answering,
                              std::vector<std::uint32_t>* asked,
                              std::chrono::milliseconds delay = std::chrono::milliseconds(0))
        : m_answering(std::move(answering)), m_asked(asked), m_delay(delay) {}
    bool HostAnswers(std::uint32_t address) override;
    std::unique_ptr<platform::ArpProbeBatch> OpenBatch() override;
    int Calls() const { return m_calls.load(); }
    // Runs at the start of each probe, on its thread, given the address. Set
    // before the batch starts.
    void SetOnCall(std::function<void(std::uint32_t address)> onCall) {
        m_onCall = std::move(onCall);
    }

private:
    std::vector<std::uint32_t> m_answering;
    std::vector<std::uint32_t>* m_asked;
    std::chrono::milliseconds m_delay;
    std::atomic<int> m_calls{0};
    std::function<void(std::uint32_t)> m_onCall;
};

// The progress dialog of a running batch, if one is shown.
wxDialog* FindProgressDialog();

class WindowTest : public ::testing::Test {
protected:
    void TearDown() override;

    // The network is made on first use: a test that opens the window
    // offline makes no namespace and needs no root.
    // Builds the network (links first), enters the computer's namespace and
    // opens the main window, which makes its first search. Messages to the
    // user are kept in `told` instead of being shown, questions in `asked`
    // (answered with `answerYes`).
    void OpenWindow(std::chrono::milliseconds searchPeriod = SEARCH_PERIOD_MS);
    // The same window on a session with no local address: nothing is sent,
    // no root and no private network needed (layout and start-up).
    void OpenWindowOffline();
    // Handles events until the list holds `rows` rows, for at most 10 s.
    void WaitForRows(int rows);

    void Press(int id);
    void SetSelectAll(bool checked);
    void ClickList();
    void SelectRows(const std::vector<long>& rows);
    // A click on the title of `column`: sorted by it, the other way round
    // when it was already.
    void SortBy(int column);
    wxString Cell(long row, int column);
    wxString OnlineCount();
    int EnabledCommandButtons();  // of the seven
    long RowOfSerial(const wxString& serial);

    // Datagrams of one command code that a camera received, of one kind
    // ("multicast", "broadcast") or all.
    std::vector<lab::LoggedDatagram> Received(int camera, std::int32_t command,
                                              const char* kind = nullptr);
    // The same, once the log holds at least `count` of them, or after 5 s
    // with what it holds then.
    std::vector<lab::LoggedDatagram> ReceivedAtLeast(std::size_t count, int camera,
                                                     std::int32_t command,
                                                     const char* kind = nullptr);

    void StartWindow(std::unique_ptr<DeviceSession> windowSession,
                     std::chrono::milliseconds searchPeriod);

    // When set before the window opens: what the window's firewall query
    // reads, and what its fix returns (counted in `firewallFixes`).
    std::optional<platform::FirewallState> firewall;
    platform::FirewallFix firewallFix{platform::FirewallFixResult::kDone, {}};
    int firewallFixes = 0;

    lab::LabNetwork net;
    std::unique_ptr<DeviceSession> session;  // outlives the window
    CSearchDeviceDlg* window = nullptr;
    std::vector<wxString> told;
    // The questions asked, and what the user answers to each.
    std::vector<wxString> asked;
    bool answerYes = true;
    // When set, answers each question in place of answerYes.
    std::function<bool(const wxString&)> answer;
    // The window's waits, shortened by a test that would otherwise wait them
    // out; set before the window opens.
    std::chrono::milliseconds confirmTime = kConfirmTime;
    std::chrono::milliseconds nothingFoundAfter = kNothingFoundAfter;
};

}  // namespace vimbrel::test
