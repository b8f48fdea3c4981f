#include "app/row_marks_view.h"

#include "operations/device_columns.h"
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

// The live sockets' addresses but loopback: where a search went out to
// cameras.
std::vector<std::uint32_t> SearchAddresses(protocol::LocalSockets& sockets) {
    std::vector<std::uint32_t> addresses;
    const protocol::LocalSockets::Guard guard = sockets.Lock();
    for (const protocol::LocalSocket& entry : guard.Entries())
        if (entry.socket != platform::kInvalidSocket && entry.address >> 24 != 127)
            addresses.push_back(entry.address);
    return addresses;
}

// The marks' words in the window's language; in Chinese the very words of
// operations/row_marks.h, which the command line keeps.
wxString AddressText(std::uint32_t address) {
    return wxString::FromUTF8(platform::FormatIPv4(address));
}

wxString RowInfoWords(const MarkedRow& row, const RowMarks& marks) {
    const wxString via = row.localAddress
                             ? wxString::Format(_(L"经 %s 收到"), AddressText(row.localAddress))
                             : _(L"收到它的本机地址不详");
    const int others = marks.sameIpOthers;
    if (!marks.otherSubnet)
        return others > 0 ? wxString::Format(_(L"IP地址与另外 %d 台设备相同（%s）"), others, via)
                          : via;
    const wxString otherSubnet = wxString::Format(
        _(L"不在本机网段（%s），网页无法直接打开；可用“自动分配IP”改到本机网段"), via);
    return others > 0 ? wxString::Format(_(L"IP地址与另外 %d 台设备相同；%s"), others, otherSubnet)
                      : otherSubnet;
}

wxString MarkCountsWords(const MarkCounts& counts) {
    wxString text;
    if (counts.sameIp > 0) text = wxString::Format(_(L"IP重复 %zu 台"), counts.sameIp);
    if (counts.otherSubnet > 0)
        text += (text.empty() ? L"" : L"\n") +
                wxString::Format(_(L"不在本机网段 %zu 台"), counts.otherSubnet);
    return text;
}

wxString NothingFoundWords(const std::vector<std::uint32_t>& localAddresses) {
    wxString list;
    for (std::uint32_t address : localAddresses)
        list += (list.empty() ? L"" : _(L"、")) + AddressText(address);
    const wxString where = list.empty()
                               ? _(L"没有可用的本机地址，搜索未发出。")
                               : wxString::Format(_(L"搜索经 %s 发出，没有设备应答。"), list);
    return where +
           _(L"常见原因：网线未接好，防火墙拦截了UDP端口9876，或设备在路由器另一侧的网段。");
}

}  // namespace

RowMarksView::RowMarksView(wxDialog& window, CSortListCtrl& list, protocol::LocalSockets& sockets)
    : m_window(window),
      m_list(list),
      m_info(new wxStaticText(&window, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                              wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END)),
      m_counts(new wxStaticText(&window, wxID_ANY, wxEmptyString,
                                window.ConvertDialogToPixels(kCountsAt),
                                window.ConvertDialogToPixels(kCountsSize), wxST_NO_AUTORESIZE)),
      m_sockets(sockets) {
    m_counts->SetForegroundColour(wxColour(176, 0, 32));
    Place();
    m_window.Bind(wxEVT_SIZE, &RowMarksView::OnWindowSize, this);
    m_list.Bind(wxEVT_LIST_ITEM_FOCUSED, &RowMarksView::OnRowEvent, this);
    m_list.Bind(wxEVT_LIST_ITEM_SELECTED, &RowMarksView::OnRowEvent, this);
    m_nothingFound.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
        if (m_list.GetItemCount() == 0) {
            const wxString text(NothingFoundWords(SearchAddresses(m_sockets)));
            m_info->SetLabel(text);
            m_info->SetToolTip(text);
        }
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
// when the window has none below it.
void RowMarksView::Place() {
    const int height = m_window.GetCharHeight() + 4;
    wxRect list = m_list.GetRect();
    const int room = m_window.GetClientSize().y - (list.GetBottom() + 1);
    if (room < height + 2) {
        list.height -= height + 2 - room;
        m_list.SetSize(list);
    }
    m_info->SetSize(list.x, list.GetBottom() + 2, list.width, height);
}

void RowMarksView::SearchStarted() {
    wxASSERT(wxIsMainThread());
    m_shown.clear();
    m_localAddresses = platform::SocketAddresses();
    m_info->SetLabel(wxEmptyString);
    m_info->UnsetToolTip();
    m_counts->SetLabel(wxEmptyString);
    m_nothingFound.StartOnce(static_cast<int>(kNothingFoundAfter.count()));
}

void RowMarksView::Update() {
    wxASSERT(wxIsMainThread());
    const long rows = m_list.GetItemCount();
    m_reread = false;
    std::vector<MarkedRow> marked;
    marked.reserve(static_cast<std::size_t>(rows));
    for (long row = 0; row < rows; ++row) marked.push_back(RowAt(row));
    const std::vector<RowMarks> marks = MarkRows(marked);
    for (long row = 0; row < rows; ++row) {
        const RowMarks& now = marks[static_cast<std::size_t>(row)];
        RowMarks& shown = m_shown[m_list.GetRowRecord(row)];
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
    const auto shown = m_shown.find(m_list.GetRowRecord(row));
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
    marked.ip = m_list.GetItemText(row, column::kAddress).ToStdWstring();
    if (const RowRecord* record = m_list.GetRowRecord(row)) marked.localAddress = record->rowTag;
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
