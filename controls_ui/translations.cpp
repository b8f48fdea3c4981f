#include "controls_ui/translations.h"

#include <wx/intl.h>
#include <wx/translation.h>
#include <wx/uilocale.h>

namespace vimbrel {

namespace {

UiLanguage g_language = UiLanguage::kChinese;

}  // namespace

void UseLanguage(UiLanguage language, const wxString& catalogFolder) {
    wxUILocale::UseDefault();
    auto* translations = new wxTranslations;  // wxTranslations::Set owns it
    wxTranslations::Set(translations);
#ifdef __WXMSW__
    wxUnusedVar(catalogFolder);
    translations->SetLoader(new wxResourceTranslationsLoader);  // the translations own it
#else
    if (!catalogFolder.empty()) wxFileTranslationsLoader::AddCatalogLookupPathPrefix(catalogFolder);
#endif
    translations->SetLanguage(language == UiLanguage::kChinese ? wxLANGUAGE_CHINESE_SIMPLIFIED
                                                               : wxLANGUAGE_ENGLISH_US);
    translations->AddStdCatalog();
    translations->AddCatalog("vimbrel", wxLANGUAGE_CHINESE_SIMPLIFIED);
    g_language = language;
}

UiLanguage CurrentUiLanguage() { return g_language; }

}  // namespace vimbrel
