#include "app/row_marks_view.h"

#include "app/marks_words.h"
#include <algorithm>
#include <utility>

#include "app/marks_words.h"
#include "controls/wrap_text.h"
#include "operations_ui/selected_rows.h"
#include "platform/ipv4_text.h"

namespace vimbrel {

namespace {

// Where the problem counts stand: under "在线设备:" and the count, left of
// the buttons and above "全选", in the template's dialog units.
const wxPoint kCountsAt(11, 26);
const wxSize kCountsSize(62, 16);

enum class RowColour { kNone, kSameIp, kOtherSubnet };

RowColour ColourOf(const RowMarks& marks) {
    if (marks.sameIpOthers > 0) return RowColour::kSameIp;  // the graver: commands collide
    return marks.otherSubnet ? RowColour::kOtherSubnet : RowColour::kNone;
}

}  // namespace

RowMarksView::RowMarksView(wxDialog& window, CSortListCtrl& list, const DeviceTable& table,
                           SearchAddresses searchAddresses,
                           std::function<platform::FirewallState()> firewall,
                           std::function<void()> allowFirewall,
                           std::chrono::milliseconds nothingFoundAfter)
    : m_window(window),
      m_list(list),
      m_table(table),
      m_info(new wxStaticText(&window, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                              wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END)),
      m_counts(new wxStaticText(&window, wxID_ANY, wxEmptyString,
                                window.ConvertDialogToPixels(kCountsAt),
                                window.ConvertDialogToPixels(kCountsSize), wxST_NO_AUTORESIZE)),
      m_finding(new wxStaticText(&window, wxID_ANY, wxEmptyString)),
      m_allowFirewall(new wxButton(&window, wxID_ANY, _(L"允许通过防火墙"))),
      m_firewall(std::move(firewall)),
      m_searchAddresses(std::move(searchAddresses)),
      m_nothingFoundAfter(nothingFoundAfter) {
    m_counts->SetForegroundColour(wxColour(176, 0, 32));
    m_finding->Hide();
    m_allowFirewall->Hide();
    m_allowFirewall->Bind(wxEVT_BUTTON,
                          [allow = std::move(allowFirewall)](wxCommandEvent&) { allow(); });
    Place();
    m_window.Bind(wxEVT_SIZE, &RowMarksView::OnWindowSize, this);
    m_list.Bind(wxEVT_LIST_ITEM_FOCUSED, &RowMarksView::OnRowEvent, this);
    m_list.Bind(wxEVT_LIST_ITEM_SELECTED, &RowMarksView::OnRowEvent, this);
    m_nothingFound.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
        if (m_list.GetItemCount() == 0) ShowNothingFound();
    });
}

// The window and its list outlive the view; their events must not reach it
// once it is gone (the list sends some while it is destroyed).
RowMarksView::~RowMarksView() {
    m_window.Unbind(wxEVT_SIZE, &RowMarksView::OnWindowSize, this);
    m_list.Unbind(wxEVT_LIST_ITEM_FOCUSED, &RowMarksView::OnRowEvent, this);
    m_list.Unbind(wxEVT_LIST_ITEM_SELECTED, &RowMarksView::OnRowEvent, this);
}

void RowMarksView::OnWindowSize(wxSizeEvent& event) {
    event.Skip();
    m_window.CallAfter([this] { Place(); });  // after the window's own layout
}

void RowMarksView::OnRowEvent(wxListEvent& event) {
    event.Skip();
    ShowFocusedRow();
}

// Under the list, as wide as it; the list gives up the room at its bottom
// when the window has none below it. The finding of a search nobody
// answered wraps to the list's width (less its button) and takes as many
// lines as it needs.
void RowMarksView::Place() {
    wxRect list = m_list.GetRect();
    const int gap = m_window.FromDIP(6);
    int height = m_window.GetCharHeight() + 4;
    int textWidth = list.width;
    wxSize button;
    if (m_finding->IsShown()) {
        if (m_allowFirewall->IsShown()) {
            button = m_allowFirewall->GetBestSize();
            textWidth = std::max(1, list.width - button.x - gap);
        }
        // As text, not a label with mnemonics: "&&" stays "&&". The label
        // may need a pixel or two more than its text: wrapped again, that
        // much narrower, when it does.
        int wrapWidth = textWidth;
        for (int attempt = 0; attempt < 3; ++attempt) {
            m_finding->SetLabelText(WrapText(
                m_findingText.ToStdWstring(), wrapWidth,
                [this](const std::wstring& line) { return m_finding->GetTextExtent(line).x; }));
            const int over = m_finding->GetBestSize().x - textWidth;
            if (over <= 0) break;
            wrapWidth -= over;
        }
        height = std::max(m_finding->GetBestSize().y, button.y);
    }
    const int room = m_window.GetClientSize().y - (list.GetBottom() + 1);
    if (room < height + 2) {
        list.height = std::max(0, list.height - (height + 2 - room));
        m_list.SetSize(list);
    }
    const int top = list.GetBottom() + 2;
    m_info->SetSize(list.x, top, list.width, m_window.GetCharHeight() + 4);
    if (m_finding->IsShown()) m_finding->SetSize(list.x, top, textWidth, height);
    if (m_allowFirewall->IsShown())
        m_allowFirewall->SetSize(list.GetRight() + 1 - button.x, top, button.x, button.y);
}

// Where the search went out, then what the firewall has to do with it; the
// button when letting the replies in may help. The window's layout runs
// again, the list making room for the lines.
void RowMarksView::ShowNothingFound() {
    wxASSERT(wxIsMainThread());
    const std::vector<std::uint32_t> addresses = m_searchAddresses();
    m_findingText = NothingFoundWords(addresses);
    bool offerFix = false;
    if (!addresses.empty()) {
        const platform::FirewallState state = m_firewall();
        const FirewallFinding finding = FindFirewallCause(state);
        m_findingText += FirewallFindingWords(finding, state.profile);
        offerFix = OffersFirewallFix(finding);
    }
    m_info->SetLabel(wxEmptyString);
    m_info->UnsetToolTip();
    m_info->Hide();
    m_finding->Show();
    m_allowFirewall->Show(offerFix);
    m_window.SendSizeEvent();
}

void RowMarksView::HideFinding() {
    if (!m_finding->IsShown()) return;
    m_findingText.clear();
    m_finding->Hide();
    m_allowFirewall->Hide();
    m_info->Show();
    m_window.SendSizeEvent();
}

void RowMarksView::SearchStarted() {
    wxASSERT(wxIsMainThread());
    m_shown.clear();
    m_localAddresses = platform::SocketAddresses();
    m_info->SetLabel(wxEmptyString);
    m_info->UnsetToolTip();
    m_counts->SetLabel(wxEmptyString);
    HideFinding();
    m_nothingFound.StartOnce(static_cast<int>(m_nothingFoundAfter.count()));
}

void RowMarksView::Update() {
    wxASSERT(wxIsMainThread());
    const long rows = m_list.GetItemCount();
    if (rows > 0) HideFinding();
    m_reread = false;
    std::vector<MarkedRow> marked;
    marked.reserve(static_cast<std::size_t>(rows));
    for (long row = 0; row < rows; ++row) marked.push_back(RowAt(row));
    const std::vector<RowMarks> marks = MarkRows(marked);
    for (long row = 0; row < rows; ++row) {
        const RowMarks& now = marks[static_cast<std::size_t>(row)];
        const auto index = TableIndexOf(m_list, row, m_table);
        if (!index) continue;  // a row of no device has no marks
        RowMarks& shown = m_shown[*index];
        const RowColour colour = ColourOf(now);
        if (colour != ColourOf(shown)) {
            if (colour == RowColour::kNone) {
                m_list.SetItemBackgroundColour(row, m_list.GetBackgroundColour());
                m_list.SetItemTextColour(row, m_list.GetForegroundColour());
            } else {
                m_list.SetItemBackgroundColour(
                    row, colour == RowColour::kSameIp ? kSameIpColour : kOtherSubnetColour);
                m_list.SetItemTextColour(row, *wxBLACK);
            }
        }
        shown = now;
    }
    m_counts->SetLabel(MarkCountsWords(CountMarks(marks)));
    ShowFocusedRow();
}

RowMarks RowMarksView::MarksOf(long row) const {
    const auto index = TableIndexOf(m_list, row, m_table);
    if (!index) return {};
    const auto shown = m_shown.find(*index);
    return shown == m_shown.end() ? RowMarks{} : shown->second;
}

void RowMarksView::ShowFocusedRow() {
    const long row = m_list.GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED);
    if (row == -1) {
        if (m_list.GetItemCount() > 0) {
            m_info->SetLabel(wxEmptyString);
            m_info->UnsetToolTip();
        }
        return;
    }
    const wxString text(RowInfoWords(RowAt(row), MarksOf(row)));
    m_info->SetLabel(text);
    m_info->SetToolTip(text);
}

MarkedRow RowMarksView::RowAt(long row) {
    MarkedRow marked;
    const TableRow* device = RowOf(m_list, row, m_table);
    if (device == nullptr) return marked;
    marked.ip = device->device.ip;
    marked.localAddress = device->localAddress;
    marked.localMask = MaskOf(marked.localAddress);
    return marked;
}

// The mask of a local address, read again from the system when it is not
// known yet (an address that came up after the search began), at most once
// an update.
std::uint32_t RowMarksView::MaskOf(std::uint32_t localAddress) {
    if (localAddress == 0) return 0;
    for (int attempt = 0; attempt < 2; ++attempt) {
        for (const platform::LocalAddress& local : m_localAddresses)
            if (local.address == localAddress) return local.netmask;
        if (m_reread) break;
        m_localAddresses = platform::SocketAddresses();
        m_reread = true;
    }
    return 0;
}

}  // namespace vimbrel
