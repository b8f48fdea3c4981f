#include "app/row_marks_view.h"

#include <algorithm>
#include <utility>

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
    return where;
}

// What the firewall has to do with it: one sentence, then the other causes
// still possible.
wxString FirewallFindingWords(FirewallFinding finding, platform::FirewallProfile profile) {
    wxString network = _(L"公用网络");
    if (profile == platform::FirewallProfile::kDomain) network = _(L"域网络");
    if (profile == platform::FirewallProfile::kPrivate) network = _(L"专用网络");
    const wxString otherCauses = _(L"其他可能的原因：网线未接好，或设备在路由器另一侧的网段。");
    switch (finding) {
    case FirewallFinding::kLinux:
        // clang-format off
        return wxString::Format(_(L"常见原因：网线未接好，设备在路由器另一侧的网段，或防火墙拦截了摄像机的应答（firewalld：%s；ufw：%s）。"),
                                kFirewalldCommand, kUfwCommand);
        // clang-format on
    case FirewallFinding::kNotKnown:
        return _(L"无法读取 Windows 防火墙的设置，它可能拦截了摄像机的应答。") + otherCauses;
    case FirewallFinding::kOff:
        return wxString::Format(_(L"Windows 防火墙在当前网络（%s）上已关闭，不是它拦截了应答。"),
                                network) +
               otherCauses;
    case FirewallFinding::kBlockRule:
        return wxString::Format(
            _(L"Windows 防火墙有阻止 Vimbrel 的规则（%s），摄像机的应答被拦截。"), network);
    case FirewallFinding::kAllowRule:
        return wxString::Format(_(L"Windows 防火墙已允许 Vimbrel（%s），不是它拦截了应答。"),
                                network) +
               otherCauses;
    case FirewallFinding::kNoRule: {
        wxString text = wxString::Format(
            _(L"Windows 防火墙已开启（%s），没有允许 Vimbrel 的规则，摄像机的应答被拦截。"),
            network);
        if (profile == platform::FirewallProfile::kPublic)
            text +=
                _(L"只有交换机、没有网关的摄像机网络是未识别的网络，Windows 把它当作公用网络。");
        return text;
    }
    }
    return {};
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
