#pragma once
// Which language the window speaks. Chinese, the design's own texts, when
// the system's preferred UI language is Chinese or none is set (C, POSIX);
// English for any other. "--lang zh|en" on the command line, else the
// VIMBREL_LANG environment variable, overrides. Nothing is stored.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vimbrel {

enum class UiLanguage { kChinese, kEnglish };

// "zh" or "en" (either case); nothing for any other text.
std::optional<UiLanguage> ParseUiLanguage(std::string_view text);

// The language for the system's preferred UI languages, the first one
// deciding ("zh_CN.UTF-8", "en-US", "C", ...): Chinese for none, C, POSIX
// and zh*, English for the rest.
UiLanguage LanguageOfSystem(const std::vector<std::string>& preferred);

// The preferred UI languages as gettext reads them from the environment:
// LC_ALL, else LC_MESSAGES, else LANG names the locale; LANGUAGE's list
// comes first unless that locale is C or POSIX. `variable` gives a
// variable's value, empty when unset.
std::vector<std::string> PreferredLanguagesOfEnvironment(
    const std::function<std::string(const char*)>& variable);

// What the window speaks: the command line's choice, else the environment
// variable's, else the system's. Fails (nothing) when an override given is
// neither "zh" nor "en"; `bad` then names it.
struct LanguageChoice {
    std::optional<UiLanguage> language;
    std::string bad;  // the refused override
};
LanguageChoice ChooseUiLanguage(const std::optional<std::string>& commandLine,
                                const std::optional<std::string>& environment,
                                const std::vector<std::string>& preferred);

}  // namespace vimbrel
