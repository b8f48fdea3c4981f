// Which language the window speaks: the system's, C and POSIX, the overrides.
#include "controls/ui_language.h"

#include <gtest/gtest.h>

#include <map>

namespace vimbrel {
namespace {

std::vector<std::string> FromEnvironment(const std::map<std::string, std::string>& variables) {
    return PreferredLanguagesOfEnvironment([&](const char* name) {
        const auto found = variables.find(name);
        return found == variables.end() ? std::string() : found->second;
    });
}

UiLanguage OfEnvironment(const std::map<std::string, std::string>& variables) {
    return LanguageOfSystem(FromEnvironment(variables));
}

TEST(UiLanguage, SystemLanguageChineseOrUnsetGivesChineseAnyOtherEnglish) {
    EXPECT_EQ(OfEnvironment({{"LANG", "zh_CN.UTF-8"}}), UiLanguage::kChinese);
    EXPECT_EQ(OfEnvironment({{"LANG", "zh_TW.UTF-8"}}), UiLanguage::kChinese);
    EXPECT_EQ(OfEnvironment({{"LANG", "en_US.UTF-8"}}), UiLanguage::kEnglish);
    EXPECT_EQ(OfEnvironment({{"LANG", "de_DE.UTF-8"}}), UiLanguage::kEnglish);
    // Windows' names of the preferred UI languages.
    EXPECT_EQ(LanguageOfSystem({"zh-Hans-CN", "en-US"}), UiLanguage::kChinese);
    EXPECT_EQ(LanguageOfSystem({"fr-FR", "zh-CN"}), UiLanguage::kEnglish);
}

TEST(UiLanguage, NoLanguageSetCAndPosixGiveChinese) {
    EXPECT_EQ(OfEnvironment({}), UiLanguage::kChinese);
    EXPECT_EQ(OfEnvironment({{"LANG", "C"}}), UiLanguage::kChinese);
    EXPECT_EQ(OfEnvironment({{"LANG", "C.UTF-8"}}), UiLanguage::kChinese);
    EXPECT_EQ(OfEnvironment({{"LC_ALL", "POSIX"}, {"LANG", "en_US.UTF-8"}}), UiLanguage::kChinese);
    // As gettext: LANGUAGE counts for nothing under C.
    EXPECT_EQ(OfEnvironment({{"LANG", "C"}, {"LANGUAGE", "en"}}), UiLanguage::kChinese);
}

TEST(UiLanguage, EnvironmentVariablesInGettextsOrder) {
    EXPECT_EQ(OfEnvironment({{"LC_ALL", "en_GB.UTF-8"}, {"LANG", "zh_CN.UTF-8"}}),
              UiLanguage::kEnglish);
    EXPECT_EQ(OfEnvironment({{"LC_MESSAGES", "zh_CN.UTF-8"}, {"LANG", "en_US.UTF-8"}}),
              UiLanguage::kChinese);
    EXPECT_EQ(OfEnvironment({{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "zh_CN:en"}}),
              UiLanguage::kChinese);
    EXPECT_EQ(FromEnvironment({{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "fr::en"}}),
              (std::vector<std::string>{"fr", "en", "de_DE.UTF-8"}));
}

TEST(UiLanguage, CommandLineThenEnvironmentOverrideTheSystem) {
    const std::vector<std::string> english{"en_US.UTF-8"};
    EXPECT_EQ(ChooseUiLanguage("zh", std::nullopt, english).language, UiLanguage::kChinese);
    EXPECT_EQ(ChooseUiLanguage(std::nullopt, "ZH", english).language, UiLanguage::kChinese);
    EXPECT_EQ(ChooseUiLanguage("en", "zh", {"C"}).language, UiLanguage::kEnglish);
    EXPECT_EQ(ChooseUiLanguage(std::nullopt, std::nullopt, english).language, UiLanguage::kEnglish);

    // An override that names no language is refused, not taken for another.
    const LanguageChoice bad = ChooseUiLanguage("fr", "en", english);
    EXPECT_FALSE(bad.language);
    EXPECT_EQ(bad.bad, "fr");
    EXPECT_FALSE(ChooseUiLanguage(std::nullopt, "", english).language);
}

}  // namespace
}  // namespace vimbrel
