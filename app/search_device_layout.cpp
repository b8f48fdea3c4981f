// The main window's sizes and the places of its controls. The template's
// places hold while the window is as wide as the template; a narrower window
// (a small screen, a large font or scale) squeezes the button row down to
// what the buttons' texts need, then puts the rest of the row below; the
// list takes what is left, and all that the window grows by.
#include <algorithm>
#include <array>

#include <wx/display.h>
#include <wx/settings.h>

#include "app/search_device_dlg.h"
#include "controls/button_row.h"
#include "operations/device_columns.h"
#include "res/control_ids.h"

namespace vimbrel {

namespace {

// The template's places, in dialog units.
constexpr int kWidth = 469;  // of the client part
constexpr int kHeight = 335;
constexpr int kMargin = 7;  // left and right of the list
constexpr int kListWidth = kWidth - 2 * kMargin;
constexpr int kBottomMargin = 10;  // below the list
constexpr int kListTop = 54;
constexpr int kRowLeft = 74;  // the first button
constexpr int kRowTop = 18;
constexpr int kButtonWidth = 43;
constexpr int kButtonHeight = 26;
constexpr int kButtonGap = 8;
constexpr int kLeastButtonGap = 3;
// Around a button's text, both sides together, beyond what an exact-fit
// button has: wxMSW gives it a character's width, GTK nothing.
#ifdef __WXMSW__
constexpr int kButtonPadding = 4;
#else
constexpr int kButtonPadding = 10;
#endif
constexpr int kLeastListHeight = 60;  // the header and a few rows

// The row's buttons from left to right.
constexpr std::array<int, 7> kRowOrder = {
    ids::kAutoAssignIP, ids::kReboot, ids::kFactoryReset, ids::kMotorStart,
    ids::kMotorStop,    ids::kSearch, wxID_CANCEL,
};

wxRect WorkArea(const wxWindow& window) {
    const int display = wxDisplay::GetFromWindow(&window);
    return wxDisplay(display == wxNOT_FOUND ? 0u : static_cast<unsigned>(display)).GetClientArea();
}

wxSize Dlu(const wxWindow& window, int x, int y) {
    return window.ConvertDialogToPixels(wxSize(x, y));
}

// The template's size, or what the control's text needs when that is more.
wxSize AtLeastBest(const wxWindow& control, wxSize size) {
    size.IncTo(control.GetBestSize());
    return size;
}

// Where the button row starts: at the template's place, or further right
// when the label and the longest count need more room.
wxPoint RowOrigin(const wxWindow& window, const wxStaticText& label, const wxStaticText& count) {
    const int countX = std::max(Dlu(window, 48, 0).x,
                                Dlu(window, 11, 0).x + AtLeastBest(label, Dlu(window, 37, 8)).x);
    int countWidth = Dlu(window, 17, 0).x;
    // The longest texts the online count shows.
    for (const wxString& text : {wxString(L"10000+"), _(L"无网络"), _(L"未发出")})
        countWidth = std::max(countWidth, count.GetTextExtent(text).x);
    return {std::max(Dlu(window, kRowLeft, 0).x,
                     countX + countWidth + Dlu(window, kLeastButtonGap, 0).x),
            Dlu(window, 0, kRowTop).y};
}

ButtonRowSizes RowSizes(const wxWindow& window, const std::array<wxSize, 7>& least) {
    ButtonRowSizes sizes;
    const wxSize wanted = Dlu(window, kButtonWidth, kButtonHeight);
    for (const wxSize& text : least) {
        sizes.wanted.push_back({0, 0, wanted.x, wanted.y});
        sizes.least.push_back({0, 0, text.x, text.y});
    }
    sizes.gap = Dlu(window, kButtonGap, 0).x;
    sizes.leastGap = Dlu(window, kLeastButtonGap, 0).x;
    return sizes;
}

// How far the row reaches below the template's row: what its further rows
// (or taller buttons) push the check box and the list down by.
int RowOverhang(const wxWindow& window, const wxPoint& origin, const ButtonRowLayout& row) {
    return std::max(0, origin.y + row.height - Dlu(window, 0, kRowTop + kButtonHeight).y);
}

// The generic list (GTK) makes its header as tall as GTK's own header of
// GTK's font; the titles are in the window's font, which may be larger.
void FitHeaderToTitles(wxListCtrl& list) {
#ifdef __WXMSW__
    wxUnusedVar(list);
#else
    wxWindow* header = nullptr;  // its type is private to the toolkit
    for (wxWindow* child : list.GetChildren())
        if (static_cast<void*>(child) == static_cast<void*>(list.m_headerWin)) header = child;
    if (!header) return;
    const int needed = header->GetCharHeight() + 6;
    if (header->GetSize().y >= needed) return;
    header->SetMinSize(wxSize(-1, needed));
    list.Layout();
#endif
}

}  // namespace

void CSearchDeviceDlg::FitToWorkArea() {
    for (std::size_t i = 0; i < kRowOrder.size(); ++i)
        m_rowButtons[i] = wxStaticCast(FindWindow(kRowOrder[i]), wxButton);
    MeasureButtons();
    for (wxWindow* child : GetChildren())
        if (auto* text = wxDynamicCast(child, wxStaticText); text && text != m_staticOnline)
            m_staticLabel = text;

    const wxRect area = WorkArea(*this);
    const wxSize size(std::min(GetSize().x, area.width), std::min(GetSize().y, area.height));
    if (size != GetSize()) {
        SetSize(size);
        Move(area.x + (area.width - size.x) / 2, area.y + (area.height - size.y) / 2);
    }
    LayOutControls();
    Bind(wxEVT_SIZE, &CSearchDeviceDlg::OnSize, this);
    Bind(wxEVT_DPI_CHANGED, &CSearchDeviceDlg::OnDPIChanged, this);
}

// What each button's text needs: the text of an exact-fit button of the
// same font (not the toolkit's standard button size; GTK would tell no less
// than the size a button was given), and room around it.
void CSearchDeviceDlg::MeasureButtons() {
    const wxSize around = Dlu(*this, kButtonPadding, kButtonPadding);
    for (std::size_t i = 0; i < m_rowButtons.size(); ++i) {
        wxButton probe(this, wxID_ANY, m_rowButtons[i]->GetLabel(), wxDefaultPosition,
                       wxDefaultSize, wxBU_EXACTFIT);
        probe.SetFont(m_rowButtons[i]->GetFont());
        m_buttonLeast[i] = probe.GetBestSize() + around;
    }
}

// The template's controls in their places for the window's width; see the
// top of this file.
void CSearchDeviceDlg::LayOutControls() {
    const wxSize client = GetClientSize();
    const wxPoint origin = RowOrigin(*this, *m_staticLabel, *m_staticOnline);
    const ButtonRowLayout row = LayOutButtonRow(RowSizes(*this, m_buttonLeast),
                                                client.x - Dlu(*this, kMargin, 0).x - origin.x);
    for (std::size_t i = 0; i < m_rowButtons.size(); ++i) {
        const ButtonBox& box = row.boxes[i];
        m_rowButtons[i]->SetSize(origin.x + box.x, origin.y + box.y, box.width, box.height);
    }
    const int below = RowOverhang(*this, origin, row);

    m_staticLabel->SetSize(wxRect(ConvertDialogToPixels(wxPoint(11, 16)),
                                  AtLeastBest(*m_staticLabel, Dlu(*this, 37, 8))));
    m_staticOnline->Move(std::max(Dlu(*this, 48, 0).x, m_staticLabel->GetRect().GetRight() + 1),
                         Dlu(*this, 0, 17).y);
    m_checkAll->SetSize(wxRect(ConvertDialogToPixels(wxPoint(11, 43)) + wxPoint(0, below),
                               AtLeastBest(*m_checkAll, Dlu(*this, 33, 10))));

    const int top =
        std::max(Dlu(*this, 0, kListTop).y + below, m_checkAll->GetRect().GetBottom() + 1);
    // The margins right and below as the template's sizes give them.
    const int left = Dlu(*this, kMargin, 0).x;
    const int right = Dlu(*this, kWidth, 0).x - left - Dlu(*this, kListWidth, 0).x;
    const int bottom = Dlu(*this, 0, kHeight).y - Dlu(*this, 0, kListTop).y -
                       Dlu(*this, 0, kHeight - kListTop - kBottomMargin).y;
    m_listDevice->SetSize(left, top, std::max(0, client.x - left - right),
                          std::max(0, client.y - top - bottom));
    FitHeaderToTitles(*m_listDevice);
    StretchLastColumn();
    // The buttons' texts have their final sizes only once they are shown.
    SetMinClientSize(LeastClientSize(WorkArea(*this).GetSize() - (GetSize() - GetClientSize())));
}

// Room for the button row at its least widths beside the count, and for a
// few rows of the list below it; no larger than the work area's client part.
wxSize CSearchDeviceDlg::LeastClientSize(const wxSize& areaClient) {
    const wxPoint origin = RowOrigin(*this, *m_staticLabel, *m_staticOnline);
    const ButtonRowSizes sizes = RowSizes(*this, m_buttonLeast);
    const int width =
        std::min(origin.x + LeastRowWidth(sizes) + Dlu(*this, kMargin, 0).x, areaClient.x);
    const ButtonRowLayout row = LayOutButtonRow(sizes, width - Dlu(*this, kMargin, 0).x - origin.x);
    const int height = Dlu(*this, 0, kListTop + kLeastListHeight + kBottomMargin).y +
                       RowOverhang(*this, origin, row);
    return {width, std::min(height, areaClient.y)};
}

// The last column takes what the others leave of the list, keeping room for
// a vertical scroll bar, and never less than its own width.
void CSearchDeviceDlg::StretchLastColumn() {
    if (m_listDevice->GetColumnCount() != column::kCount) return;
    const int last = column::kCount - 1;
    int rest = m_listDevice->GetClientSize().x -
               wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, m_listDevice);
    for (int i = 0; i < last; ++i) rest -= m_listDevice->GetColumnWidth(i);
    const int width = std::max(m_lastColumnWidth, rest);
    if (m_listDevice->GetColumnWidth(last) != width) m_listDevice->SetColumnWidth(last, width);
}

void CSearchDeviceDlg::OnSize(wxSizeEvent&) { LayOutControls(); }

// Another monitor's scaling (wxMSW): the toolkit gives the window its new
// size and fonts and the list its scaled columns; the places follow.
void CSearchDeviceDlg::OnDPIChanged(wxDPIChangedEvent& event) {
    event.Skip();
    m_lastColumnWidth = event.ScaleX(m_lastColumnWidth);
    CallAfter([this] {
        MeasureButtons();
        LayOutControls();
    });
}

}  // namespace vimbrel
