// The main window's sizes and the places of its controls. The places are the
// template's (res/search_device_dlg.xrc, as loaded), which hold while the
// window is as wide as the template; a narrower window (a small screen, a
// large font or scale) squeezes the button row down to what the buttons'
// texts need, then puts the rest of the row below; the list takes what is
// left, and all that the window grows by.
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include <wx/display.h>
#include <wx/settings.h>
#include <wx/xml/xml.h>
#include <wx/xrc/xmlres.h>

#include "app/search_device_dlg.h"
#include "controls/button_row.h"
#include "operations/device_columns.h"
#include "res/control_ids.h"

namespace vimbrel {

namespace {

// The layout's own rules, in dialog units.
constexpr int kLeastButtonGap = 3;
// Around a button's text, both sides together, beyond what an exact-fit
// button has: wxMSW gives it a character's width, GTK nothing.
#ifdef __WXMSW__
constexpr int kButtonPadding = 4;
#else
constexpr int kButtonPadding = 10;
#endif
constexpr int kLeastListHeight = 60;  // the header and a few rows

// The row's buttons; the template's places give their order.
constexpr std::array<int, 7> kRowButtons = {
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

// A control's place in dialog units, from its pixels as the toolkit
// converted the template's dialog units with the window's font. Exact for
// any font whose average character is wider than 4 pixels and taller than
// 8: a dialog unit is then more than a pixel, so each pixel value comes
// from one value in dialog units only.
wxRect InDialogUnits(const wxWindow& window, const wxRect& pixels) {
    const wxSize base = Dlu(window, 4, 8);  // the font's average character
    const auto back = [](int value, int units, int basePixels) {
        return static_cast<int>(std::lround(static_cast<double>(value) * units / basePixels));
    };
    return {back(pixels.x, 4, base.x), back(pixels.y, 8, base.y), back(pixels.width, 4, base.x),
            back(pixels.height, 8, base.y)};
}

// The dialog's own size in the template ("W,Hd"): the toolkit converts it
// before it sets the template's font, so its pixels can't be turned back.
std::optional<wxSize> TemplateClientSize(const char* dialog) {
    const wxXmlNode* node = wxXmlResource::Get()->GetResourceNode(dialog);
    for (const wxXmlNode* child = node ? node->GetChildren() : nullptr; child;
         child = child->GetNext()) {
        if (child->GetName() != "size") continue;
        const wxString text = child->GetNodeContent().Trim().Trim(false);
        long width = 0, height = 0;
        if (!text.EndsWith("d") || !text.BeforeFirst(',').ToLong(&width) ||
            !text.AfterFirst(',').RemoveLast().ToLong(&height) || width <= 0 || height <= 0)
            return std::nullopt;
        return wxSize(static_cast<int>(width), static_cast<int>(height));
    }
    return std::nullopt;
}

int Right(const wxRect& r) { return r.x + r.width; }
int Bottom(const wxRect& r) { return r.y + r.height; }

// Where the button row starts: at the template's place, or further right
// when the label and the longest count need more room.
wxPoint RowOrigin(const wxWindow& window, const TemplatePlaces& places, const wxStaticText& label,
                  const wxStaticText& count) {
    const int countX =
        std::max(Dlu(window, places.count.x, 0).x,
                 Dlu(window, places.label.x, 0).x +
                     AtLeastBest(label, Dlu(window, places.label.width, places.label.height)).x);
    int countWidth = Dlu(window, places.count.width, 0).x;
    // The longest texts the online count shows.
    for (const wxString& text : {wxString(L"10000+"), _(L"无网络"), _(L"未发出")})
        countWidth = std::max(countWidth, count.GetTextExtent(text).x);
    return {std::max(Dlu(window, places.row[0].x, 0).x,
                     countX + countWidth + Dlu(window, kLeastButtonGap, 0).x),
            Dlu(window, 0, places.row[0].y).y};
}

// The buttons as wide as the template's, as far apart as its first two.
ButtonRowSizes RowSizes(const wxWindow& window, const TemplatePlaces& places,
                        const std::array<wxSize, 7>& least) {
    ButtonRowSizes sizes;
    const wxSize wanted = Dlu(window, places.row[0].width, places.row[0].height);
    for (const wxSize& text : least) {
        sizes.wanted.push_back({0, 0, wanted.x, wanted.y});
        sizes.least.push_back({0, 0, text.x, text.y});
    }
    sizes.gap = Dlu(window, places.row[1].x - Right(places.row[0]), 0).x;
    sizes.leastGap = Dlu(window, kLeastButtonGap, 0).x;
    return sizes;
}

// How far the row reaches below the template's row: what its further rows
// (or taller buttons) push the check box and the list down by.
int RowOverhang(const wxWindow& window, const TemplatePlaces& places, const wxPoint& origin,
                const ButtonRowLayout& row) {
    return std::max(0, origin.y + row.height - Dlu(window, 0, Bottom(places.row[0])).y);
}

// The margins right of the list and below it, in dialog units.
int RightMargin(const TemplatePlaces& places) { return places.client.x - Right(places.list); }
int BottomMargin(const TemplatePlaces& places) { return places.client.y - Bottom(places.list); }

// The generic list (GTK) makes its header as tall as GTK's own header of
// GTK's font; the titles are in the window's font, which may be larger. Its
// children are the header and the rows' window, which it scrolls.
void FitHeaderToTitles(wxListCtrl& list) {
#ifdef __WXMSW__
    wxUnusedVar(list);
#else
    wxWindow* header = nullptr;
    for (wxWindow* child : list.GetChildren())
        if (child != list.GetTargetWindow()) header = child;
    if (!header) return;
    const int needed = header->GetCharHeight() + 6;
    if (header->GetSize().y >= needed) return;
    header->SetMinSize(wxSize(-1, needed));
    list.Layout();
#endif
}

}  // namespace

bool CSearchDeviceDlg::ReadTemplatePlaces() {
    const std::optional<wxSize> client = TemplateClientSize(ids::kSearchDeviceDialog);
    m_staticLabel = wxDynamicCast(FindWindow(ids::kOnlineLabel), wxStaticText);
    bool complete = client && m_staticLabel && m_listDevice && m_staticOnline && m_checkAll;
    for (std::size_t i = 0; i < kRowButtons.size(); ++i) {
        m_rowButtons[i] = wxDynamicCast(FindWindow(kRowButtons[i]), wxButton);
        complete = complete && m_rowButtons[i];
    }
    if (!complete) return false;
    std::sort(m_rowButtons.begin(), m_rowButtons.end(), [](const wxButton* a, const wxButton* b) {
        return a->GetPosition().x < b->GetPosition().x;
    });
    m_places.client = *client;
    m_places.list = InDialogUnits(*this, m_listDevice->GetRect());
    m_places.label = InDialogUnits(*this, m_staticLabel->GetRect());
    m_places.count = InDialogUnits(*this, m_staticOnline->GetRect());
    m_places.checkAll = InDialogUnits(*this, m_checkAll->GetRect());
    for (std::size_t i = 0; i < m_rowButtons.size(); ++i)
        m_places.row[i] = InDialogUnits(*this, m_rowButtons[i]->GetRect());
    return true;
}

void CSearchDeviceDlg::FitToWorkArea() {
    MeasureButtons();
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
    const TemplatePlaces& t = m_places;
    const wxSize client = GetClientSize();
    const wxPoint origin = RowOrigin(*this, t, *m_staticLabel, *m_staticOnline);
    const ButtonRowLayout row = LayOutButtonRow(
        RowSizes(*this, t, m_buttonLeast), client.x - Dlu(*this, RightMargin(t), 0).x - origin.x);
    for (std::size_t i = 0; i < m_rowButtons.size(); ++i) {
        const ButtonBox& box = row.boxes[i];
        m_rowButtons[i]->SetSize(origin.x + box.x, origin.y + box.y, box.width, box.height);
    }
    const int below = RowOverhang(*this, t, origin, row);

    m_staticLabel->SetSize(
        wxRect(ConvertDialogToPixels(t.label.GetPosition()),
               AtLeastBest(*m_staticLabel, Dlu(*this, t.label.width, t.label.height))));
    m_staticOnline->Move(
        std::max(Dlu(*this, t.count.x, 0).x, m_staticLabel->GetRect().GetRight() + 1),
        Dlu(*this, 0, t.count.y).y);
    m_checkAll->SetSize(
        wxRect(ConvertDialogToPixels(t.checkAll.GetPosition()) + wxPoint(0, below),
               AtLeastBest(*m_checkAll, Dlu(*this, t.checkAll.width, t.checkAll.height))));

    const int top =
        std::max(Dlu(*this, 0, t.list.y).y + below, m_checkAll->GetRect().GetBottom() + 1);
    // The margins right and below as the template's sizes give them.
    const int left = Dlu(*this, t.list.x, 0).x;
    const int right = Dlu(*this, t.client.x, 0).x - left - Dlu(*this, t.list.width, 0).x;
    const int bottom =
        Dlu(*this, 0, t.client.y).y - Dlu(*this, 0, t.list.y).y - Dlu(*this, 0, t.list.height).y;
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
    const TemplatePlaces& t = m_places;
    const wxPoint origin = RowOrigin(*this, t, *m_staticLabel, *m_staticOnline);
    const ButtonRowSizes sizes = RowSizes(*this, t, m_buttonLeast);
    const int margin = Dlu(*this, RightMargin(t), 0).x;
    const int width = std::min(origin.x + LeastRowWidth(sizes) + margin, areaClient.x);
    const ButtonRowLayout row = LayOutButtonRow(sizes, width - margin - origin.x);
    const int height = Dlu(*this, 0, t.list.y + kLeastListHeight + BottomMargin(t)).y +
                       RowOverhang(*this, t, origin, row);
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
