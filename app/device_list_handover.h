#pragma once
// The device list handed over to other programs: Ctrl+C copies the selected
// rows as tab-separated text (a spreadsheet pastes it into cells), and the
// list's context menu offers 复制, 导出为CSV… (the command line's CSV),
// 打开网页 (the double click's page, for the row the menu was opened on) and
// 按地址表分配… (an address plan, as the command line's assign-ip --plan).
#include <functional>
#include <memory>
#include <vector>

#include <wx/menu.h>
#include <wx/string.h>

#include "controls_ui/sort_list_ctrl.h"
#include "operations/device_csv.h"
#include "operations_ui/device_operations.h"
#include "session/device_table.h"

namespace vimbrel {

// The titles of the eight columns and then the device of each of the list's
// `rows` (its table row, numbered by its place in the list), a tab between
// the cells and a line end after each row. A tab or line break inside a
// cell (texts from the network) becomes a space, so every cell keeps its
// place.
wxString RowsAsTabText(const CSortListCtrl& list, const DeviceTable& table,
                       const std::vector<long>& rows);
// The CSV fields of a device: its texts under their keys, and the local
// address its reply came in on (empty when not known).
DeviceFields FieldsOf(const TableRow& row);

class DeviceListHandover {
public:
    // Puts the text on the clipboard; false when the clipboard can't be had.
    using PutText = std::function<bool(const wxString&)>;
    // The file to export to, asked of the user; empty when cancelled.
    using ChooseFile = std::function<wxString()>;

    // Binds Ctrl+C on `window` and the context menu on `list`, whose rows
    // are tagged with their rows in `table`. The page opener and the message
    // are the window's, read when used.
    DeviceListHandover(wxWindow& window, CSortListCtrl& list, const DeviceTable& table,
                       const std::function<bool(const wxString&)>& openPage, const TellUser& tell);
    ~DeviceListHandover();
    DeviceListHandover(const DeviceListHandover&) = delete;
    DeviceListHandover& operator=(const DeviceListHandover&) = delete;

    void SetPutText(PutText put) { m_putText = std::move(put); }
    void SetChooseFile(ChooseFile choose) { m_chooseFile = std::move(choose); }
    // The plan file to open, asked of the user; empty when cancelled.
    void SetChoosePlan(ChooseFile choose) { m_choosePlan = std::move(choose); }
    // What "按地址表分配…" does with the chosen file: the window's.
    void SetAssignPlan(std::function<void(const wxString&)> assign) {
        m_assignPlan = std::move(assign);
    }

    // The selected rows as RowsAsTabText, onto the clipboard. Nothing
    // selected: nothing changes.
    void CopySelected();
    // The device of every row of the list, in the list's order, as the
    // command line's CSV, into a file the user chooses.
    void ExportCsv();
    // The page of the menu's row, by the double click's rule.
    void OpenPage();
    // Asks for a plan file and hands it to the window's assignment.
    void AssignPlan();
    // The row the menu acts on: the focused row when it is selected, else
    // the first selected one; -1 when none is selected.
    long MenuRow() const;
    // The context menu as it would open now: its items enabled as they apply.
    std::unique_ptr<wxMenu> MakeMenu();

    // The menu's item ids.
    static constexpr int kCopyId = wxID_COPY;
    static constexpr int kExportId = wxID_HIGHEST + 101;
    static constexpr int kOpenPageId = wxID_HIGHEST + 102;
    static constexpr int kAssignPlanId = wxID_HIGHEST + 103;

private:
    void OnCharHook(wxKeyEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);

    wxWindow& m_window;
    CSortListCtrl& m_list;
    const DeviceTable& m_table;
    const std::function<bool(const wxString&)>& m_openPage;
    const TellUser& m_tell;
    PutText m_putText;
    ChooseFile m_chooseFile;
    ChooseFile m_choosePlan;
    std::function<void(const wxString&)> m_assignPlan;
};

}  // namespace vimbrel
