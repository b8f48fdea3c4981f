#include "tests/window/window_fixture.h"

#include <thread>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/progdlg.h>

#include "protocol/device_packet.h"
#include "tests/support/camera_log.h"

namespace vimbrel::test {

void AnswerNextDialog(std::function<void(wxDialog&)> answer) {
    wxTheApp->CallAfter([answer = std::move(answer)] {
        for (wxWindow* window : wxTopLevelWindows) {
            auto* dialog = dynamic_cast<wxDialog*>(window);
            if (dialog && dialog->IsModal()) {
                answer(*dialog);
                return;
            }
        }
        AnswerNextDialog(answer);  // not shown yet: try again
    });
}

void PressDialogButton(wxDialog& dialog, int id) {
    wxCommandEvent click(wxEVT_BUTTON, id);
    click.SetEventObject(dialog.FindWindow(id));
    dialog.GetEventHandler()->ProcessEvent(click);
}

bool ScriptedArpProbe::HostAnswers(std::uint32_t address) {
    ++m_calls;
    if (m_onCall) m_onCall(address);
    if (m_delay.count() > 0) std::this_thread::sleep_for(m_delay);
    for (std::uint32_t a : m_answering)
        if (a == address) return true;
    return false;
}

std::unique_ptr<platform::ArpProbeBatch> ScriptedArpProbe::OpenBatch() {
    // The threaded batch over HostAnswers, with each start written down.
    class Recording : public platform::ArpProbeBatch {
    public:
        Recording(ScriptedArpProbe& probe, std::vector<std::uint32_t>* asked)
            : m_batch(platform::MakeThreadedArpProbeBatch(probe, platform::kArpBatchWorkers)),
              m_asked(asked) {}
        void Start(std::uint32_t address) override {
            if (m_asked) m_asked->push_back(address);
            m_batch->Start(address);
        }
        std::vector<platform::ArpVerdict> Wait(std::chrono::milliseconds wait) override {
            return m_batch->Wait(wait);
        }

    private:
        std::unique_ptr<platform::ArpProbeBatch> m_batch;
        std::vector<std::uint32_t>* m_asked;
    };
    return std::make_unique<Recording>(*this, m_asked);
}

wxDialog* FindProgressDialog() {
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* dialog = dynamic_cast<wxGenericProgressDialog*>(window)) return dialog;
    return nullptr;
}

void WindowTest::OpenWindow(std::chrono::milliseconds searchPeriod) {
    net.EnterComputer();
    lab::RequirePrivateNetwork();
    StartWindow(std::make_unique<DeviceSession>(), searchPeriod);
}

void WindowTest::OpenWindowOffline() {
    StartWindow(
        std::make_unique<DeviceSession>([] { return std::vector<platform::LocalAddress>{}; }),
        SEARCH_PERIOD_MS);
}

void WindowTest::StartWindow(std::unique_ptr<DeviceSession> windowSession,
                             std::chrono::milliseconds searchPeriod) {
    session = std::move(windowSession);
    WindowServices services;
    services.tell = [this](const wxString& text) { told.push_back(text); };
    services.ask = [this](const wxString& question) {
        asked.push_back(question);
        return answer ? answer(question) : answerYes;
    };
    if (firewall) {
        services.firewall = [this] { return *firewall; };
        services.allowFirewall = [this] {
            ++firewallFixes;
            return firewallFix;
        };
    }
    services.confirmTime = confirmTime;
    services.nothingFoundAfter = nothingFoundAfter;
    // The toolkit deletes it (Destroy).
    window = new CSearchDeviceDlg(*session, std::move(services), searchPeriod);
    window->Show();
    window->Start();
}

void WindowTest::TearDown() {
    if (window) {
        window->Close(true);
        window->Destroy();
        // Deleted once the toolkit is idle; its timers and posted calls go
        // with it, before the next test's window.
        EXPECT_TRUE(PumpUntil([&] { return !wxTheApp->IsScheduledForDestruction(window); }))
            << "the window was not deleted";
        window = nullptr;
    }
    net.LeaveComputer();
}

void WindowTest::WaitForRows(int rows) {
    auto& list = window->DeviceList();
    PumpUntil([&] { return list.GetItemCount() >= rows; }, std::chrono::seconds(10));
}

void WindowTest::Press(int id) {
    wxWindow* control = window->FindWindow(id);
    ASSERT_NE(control, nullptr) << id;
    wxCommandEvent click(wxEVT_BUTTON, id);
    click.SetEventObject(control);
    window->GetEventHandler()->ProcessEvent(click);
}

wxWindow& RowsWindow(wxListCtrl& list) {
    // The window the generic list scrolls: the rows, below the header.
    wxWindow* rows = list.GetTargetWindow();
    if (rows && rows != &list) return *rows;
    ADD_FAILURE() << "the list has no rows window";
    return list;
}

void WindowTest::SetSelectAll(bool checked) {
    auto* box = wxDynamicCast(window->FindWindow(ids::kCheckAll), wxCheckBox);
    box->SetValue(checked);
    wxCommandEvent click(wxEVT_CHECKBOX, ids::kCheckAll);
    click.SetEventObject(box);
    click.SetInt(checked ? 1 : 0);
    window->GetEventHandler()->ProcessEvent(click);
}

void WindowTest::ClickList() {
    wxWindow& target = RowsWindow(window->DeviceList());
    wxMouseEvent up(wxEVT_LEFT_UP);
    up.SetEventObject(&target);
    target.GetEventHandler()->ProcessEvent(up);
}

void WindowTest::SelectRows(const std::vector<long>& rows) {
    auto& list = window->DeviceList();
    for (long row = 0; row < list.GetItemCount(); ++row)
        list.SetItemState(row, 0, wxLIST_STATE_SELECTED);
    for (long row : rows) list.SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    ClickList();
}

void WindowTest::SortBy(int column) {
    auto& list = window->DeviceList();
    wxListEvent click(wxEVT_LIST_COL_CLICK, ids::kDeviceList);
    click.m_col = column;
    click.SetEventObject(&list);
    list.GetEventHandler()->ProcessEvent(click);
}

wxString WindowTest::Cell(long row, int column) {
    return window->DeviceList().GetItemText(row, column);
}

wxString WindowTest::OnlineCount() {
    return wxDynamicCast(window->FindWindow(ids::kStaticOnline), wxStaticText)->GetLabel();
}

int WindowTest::EnabledCommandButtons() {
    int enabled = 0;
    for (int id : ids::kCommandButtons) enabled += window->FindWindow(id)->IsEnabled() ? 1 : 0;
    return enabled;
}

long WindowTest::RowOfSerial(const wxString& serial) {
    auto& list = window->DeviceList();
    for (long row = 0; row < list.GetItemCount(); ++row)
        if (list.GetItemText(row, 1) == serial) return row;
    return -1;
}

std::vector<lab::LoggedDatagram> WindowTest::ReceivedAtLeast(std::size_t count, int camera,
                                                             std::int32_t command,
                                                             const char* kind) {
    std::vector<lab::LoggedDatagram> received;
    PumpUntil([&] { return (received = Received(camera, command, kind)).size() >= count; },
              std::chrono::seconds(5));
    return received;
}

std::vector<lab::LoggedDatagram> WindowTest::Received(int camera, std::int32_t command,
                                                      const char* kind) {
    return vimbrel::test::Received(net, camera, command, kind);
}

}  // namespace vimbrel::test
