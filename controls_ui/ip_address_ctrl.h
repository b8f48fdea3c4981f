#pragma once

#include <wx/panel.h>

#include <array>
#include <cstdint>

class wxTextCtrl;

// IPv4 address entry: four octet fields (digits only, 0..255) with dots
// between. The value is the first octet in the highest byte, not network order.
class CIPAddressCtrl : public wxPanel {
public:
    CIPAddressCtrl() = default;
    CIPAddressCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                   const wxSize& size = wxDefaultSize, long style = 0,
                   const wxString& name = "CIPAddressCtrl");

    bool Create(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize, long style = 0,
                const wxString& name = "CIPAddressCtrl");

    void SetAddress(std::uint32_t address);
    // A blank field reads as 0.
    std::uint32_t GetAddress() const;

    static constexpr int kOctetCount = 4;
    // The octet field at index (0 = first, highest byte).
    wxTextCtrl* GetOctetField(int index) const { return m_fields.at(index); }

private:
    void OnFieldChar(wxKeyEvent& event, int index);
    void OnFieldText(wxCommandEvent& event, int index);

    std::array<wxTextCtrl*, kOctetCount> m_fields{};  // children, owned by the window
    std::array<wxString, kOctetCount> m_accepted;  // last valid text of each field

    wxDECLARE_DYNAMIC_CLASS(CIPAddressCtrl);
};
