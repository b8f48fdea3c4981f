#pragma once
// The device list's marks shown: a row colour for a row whose address other
// rows hold too, or that lies outside the network of the local address its
// reply came in on (operations/row_marks.h); an info line under the list
// for the focused row (the local address the reply came in on, and what its
// marks mean) or, after a search nobody answered, where it went out and
// why that may be, with what the firewall has to do with it
// (operations/firewall_finding.h) in full, wrapped, and the button that lets
// the replies in when that may help; and under the count the rows with each
// problem.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include <wx/button.h>
#include <wx/colour.h>
#include <wx/dialog.h>
#include <wx/stattext.h>
#include <wx/timer.h>

#include "controls_ui/sort_list_ctrl.h"
#include "operations/firewall_finding.h"
#include "operations/row_marks.h"
#include "platform/local_addresses.h"
#include "session/device_table.h"

namespace vimbrel {

// Row colours, light enough for black text on both builds; the text of a
// marked row is set black so a dark theme keeps it readable.
inline const wxColour kSameIpColour(255, 205, 210);  // light red
inline const wxColour kOtherSubnetColour(255, 236, 179);  // light amber

// A search is taken to have found nothing when no row came this long after it.
inline constexpr std::chrono::milliseconds kNothingFoundAfter{3000};

class RowMarksView {
public:
    // Puts the info line under the list and the problem counts under the
    // count; each list row's tag is its row in `table`, whose address and
    // local address (the socket its reply came in on) the marks read.
    // `searchAddresses` gives where the window's searches went. After a search
    // nobody answered, `firewall` is asked, and a click on the button
    // "允许通过防火墙" runs `allowFirewall`: nothing else changes the firewall.
    // `nothingFoundAfter`: how long after a search with no reply the info
    // line says where it went.
    // The addresses the window's searches go out on.
    using SearchAddresses = std::function<std::vector<std::uint32_t>()>;
    RowMarksView(wxDialog& window, CSortListCtrl& list, const DeviceTable& table,
                 SearchAddresses searchAddresses, std::function<platform::FirewallState()> firewall,
                 std::function<void()> allowFirewall,
                 std::chrono::milliseconds nothingFoundAfter = kNothingFoundAfter);
    ~RowMarksView();
    RowMarksView(const RowMarksView&) = delete;
    RowMarksView& operator=(const RowMarksView&) = delete;

    // The list was emptied for a search that has gone out.
    void SearchStarted();
    // Rows were added: marks, counts and the info line brought up to date.
    void Update();

    // What the window shows, for its tests.
    RowMarks MarksOf(long row) const;
    wxString InfoText() const { return m_info->GetLabel(); }
    wxString CountsText() const { return m_counts->GetLabel(); }
    // What a search nobody answered left: the words (unwrapped, empty when
    // none), their control and the button.
    wxString FindingText() const { return m_findingText; }
    const wxStaticText& FindingLine() const { return *m_finding; }
    wxButton& AllowFirewallButton() { return *m_allowFirewall; }

private:
    void OnWindowSize(wxSizeEvent& event);
    void OnRowEvent(wxListEvent& event);
    void Place();
    void ShowFocusedRow();
    void ShowNothingFound();
    void HideFinding();
    MarkedRow RowAt(long row);
    std::uint32_t MaskOf(std::uint32_t localAddress);

    wxDialog& m_window;
    CSortListCtrl& m_list;
    const DeviceTable& m_table;
    wxStaticText* m_info;
    wxStaticText* m_counts;
    wxStaticText* m_finding;  // wraps: reads in full at every scale
    wxButton* m_allowFirewall;
    wxString m_findingText;
    std::function<platform::FirewallState()> m_firewall;
    SearchAddresses m_searchAddresses;
    wxTimer m_nothingFound;
    std::chrono::milliseconds m_nothingFoundAfter;
    std::vector<platform::LocalAddress> m_localAddresses;
    bool m_reread = false;  // the addresses were read again in this update
    // The marks each row shows now, by its index in the table.
    std::unordered_map<std::size_t, RowMarks> m_shown;
};

}  // namespace vimbrel
