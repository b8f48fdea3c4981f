#include "app/column_titles.h"

#include <array>
#include <string_view>

#include <wx/translation.h>

#include "operations/device_columns.h"

namespace vimbrel {

namespace {

// kDeviceColumns' titles, marked here for the catalogs.
constexpr std::array<const wchar_t*, column::kCount> kTitles = {
    wxTRANSLATE(L"索引"),       wxTRANSLATE(L"生产系列号"), wxTRANSLATE(L"产品型号"),
    wxTRANSLATE(L"IP地址"),     wxTRANSLATE(L"MAC地址"),    wxTRANSLATE(L"端口"),
    wxTRANSLATE(L"固件版本号"), wxTRANSLATE(L"运行状态"),
};

constexpr bool SameTitles() {
    for (std::size_t i = 0; i < kTitles.size(); ++i)
        if (std::wstring_view(kTitles[i]) != kDeviceColumns[i].title) return false;
    return true;
}
static_assert(SameTitles(), "the marked titles are kDeviceColumns' titles");

}  // namespace

wxString ColumnTitle(int column) {
    return wxGetTranslation(kTitles[static_cast<std::size_t>(column)]);
}

}  // namespace vimbrel
