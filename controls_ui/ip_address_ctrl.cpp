#include "controls_ui/ip_address_ctrl.h"

#include <algorithm>

#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

wxIMPLEMENT_DYNAMIC_CLASS(CIPAddressCtrl, wxPanel);

namespace {

constexpr unsigned long kMaxOctet = 255;

// A valid octet text: empty, or one to three digits worth at most 255.
bool IsOctetText(const wxString& text) {
    if (text.empty()) return true;
    if (text.length() > 3) return false;
    for (wxUniChar c : text) {
        if (c < '0' || c > '9') return false;
    }
    unsigned long value = 0;
    return text.ToULong(&value) && value <= kMaxOctet;
}

std::uint32_t OctetValue(const wxString& text) {
    unsigned long value = 0;
    if (!text.ToULong(&value)) return 0;
    return static_cast<std::uint32_t>(std::min(value, kMaxOctet));
}

}  // namespace

CIPAddressCtrl::CIPAddressCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                               const wxSize& size, long style, const wxString& name) {
    Create(parent, id, pos, size, style, name);
}

bool CIPAddressCtrl::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                            long style, const wxString& name) {
    if (!wxPanel::Create(parent, id, pos, size, style | wxTAB_TRAVERSAL | wxBORDER_SUNKEN, name))
        return false;

    auto* sizer = new wxBoxSizer(wxHORIZONTAL);
    for (int i = 0; i < kOctetCount; ++i) {
        if (i > 0) sizer->Add(new wxStaticText(this, wxID_ANY, "."), 0, wxALIGN_CENTER_VERTICAL);
        auto* field = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition,
                                     wxDefaultSize, wxTE_CENTRE | wxBORDER_NONE);
        field->SetMaxLength(3);
        field->SetMinSize(wxSize(10, -1));
        field->Bind(wxEVT_CHAR, [this, i](wxKeyEvent& event) { OnFieldChar(event, i); });
        field->Bind(wxEVT_TEXT, [this, i](wxCommandEvent& event) { OnFieldText(event, i); });
        sizer->Add(field, 1, wxEXPAND);
        m_fields[i] = field;
    }
    SetSizer(sizer);
    Layout();
    return true;
}

void CIPAddressCtrl::SetAddress(std::uint32_t address) {
    for (int i = 0; i < kOctetCount; ++i) {
        const unsigned octet = (address >> (8 * (kOctetCount - 1 - i))) & 0xFF;
        m_accepted[i] = wxString::Format("%u", octet);
        m_fields[i]->ChangeValue(m_accepted[i]);
    }
}

std::uint32_t CIPAddressCtrl::GetAddress() const {
    std::uint32_t address = 0;
    for (const wxTextCtrl* field : m_fields)
        address = (address << 8) | OctetValue(field->GetValue());
    return address;
}

void CIPAddressCtrl::OnFieldChar(wxKeyEvent& event, int index) {
    const wxChar key = event.GetUnicodeKey();
    if (key == '.') {
        // A dot ends the octet: go on with the next field.
        if (index + 1 < kOctetCount && !m_fields[index]->IsEmpty()) {
            m_fields[index + 1]->SetFocus();
            m_fields[index + 1]->SelectAll();
        }
        return;
    }
    if (key != WXK_NONE && key >= ' ' && (key < '0' || key > '9'))
        return;  // swallow everything printable but digits
    event.Skip();
}

void CIPAddressCtrl::OnFieldText(wxCommandEvent& event, int index) {
    wxTextCtrl* field = m_fields[index];
    if (field == nullptr) return;  // still being created
    const wxString text = field->GetValue();
    if (IsOctetText(text))
        m_accepted[index] = text;
    else
        field->ChangeValue(m_accepted[index]);
    event.Skip();
}
