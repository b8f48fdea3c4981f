#include "controls/ui_language.h"

#include <algorithm>
#include <cctype>

namespace vimbrel {

namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

bool IsPlainLocale(std::string_view name) {
    const std::string lower = Lower(name.substr(0, name.find('.')));
    return lower.empty() || lower == "c" || lower == "posix";
}

}  // namespace

std::optional<UiLanguage> ParseUiLanguage(std::string_view text) {
    const std::string lower = Lower(text);
    if (lower == "zh") return UiLanguage::kChinese;
    if (lower == "en") return UiLanguage::kEnglish;
    return std::nullopt;
}

UiLanguage LanguageOfSystem(const std::vector<std::string>& preferred) {
    if (preferred.empty() || IsPlainLocale(preferred.front())) return UiLanguage::kChinese;
    return Lower(preferred.front()).starts_with("zh") ? UiLanguage::kChinese : UiLanguage::kEnglish;
}

std::vector<std::string> PreferredLanguagesOfEnvironment(
    const std::function<std::string(const char*)>& variable) {
    std::string locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = variable(name);
        if (!locale.empty()) break;
    }
    if (IsPlainLocale(locale))
        return locale.empty() ? std::vector<std::string>{} : std::vector{locale};
    std::vector<std::string> languages;
    const std::string list = variable("LANGUAGE");
    for (std::size_t start = 0; start < list.size();) {
        const std::size_t end = std::min(list.find(':', start), list.size());
        if (end > start) languages.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    languages.push_back(locale);
    return languages;
}

LanguageChoice ChooseUiLanguage(const std::optional<std::string>& commandLine,
                                const std::optional<std::string>& environment,
                                const std::vector<std::string>& preferred) {
    for (const auto* given : {&commandLine, &environment}) {
        if (!*given) continue;
        if (auto language = ParseUiLanguage(**given)) return {language, {}};
        return {std::nullopt, **given};
    }
    return {LanguageOfSystem(preferred), {}};
}

}  // namespace vimbrel
