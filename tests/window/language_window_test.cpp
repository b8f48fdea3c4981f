// The main window's titles and button texts in the language the test
// program was started in (VIMBREL_LANG, see window_main.cpp): Chinese, the
// design's texts, by default; English from the build tree's catalog.
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include <wx/checkbox.h>

#include "res/control_ids.h"
#include "tests/window/window_fixture.h"

namespace vimbrel::test {
namespace {

bool English() {
    const char* language = std::getenv("VIMBREL_LANG");
    return language && std::string(language) == "en";
}

class LanguageWindow : public WindowTest {
protected:
    void SetUp() override { OpenWindowOffline(); }
};

TEST_F(LanguageWindow, TitlesAndButtonsSpeakTheChosenLanguage) {
    const std::vector<std::wstring> titles =
        English()
            ? std::vector<std::wstring>{L"#",          L"Serial number", L"Model",
                                        L"IP address", L"MAC address",   L"Port",
                                        L"Firmware",   L"Status"}
            : std::vector<std::wstring>{L"索引",    L"生产系列号", L"产品型号",   L"IP地址",
                                        L"MAC地址", L"端口",       L"固件版本号", L"运行状态"};
    auto& list = window->DeviceList();
    ASSERT_EQ(list.GetColumnCount(), static_cast<int>(titles.size()));
    for (int i = 0; i < list.GetColumnCount(); ++i) {
        wxListItem column;
        column.SetMask(wxLIST_MASK_TEXT);
        list.GetColumn(i, column);
        EXPECT_EQ(column.GetText(), titles[static_cast<std::size_t>(i)]) << i;
    }

    const std::vector<std::pair<int, std::wstring>> buttons =
        English()
            ? std::vector<std::pair<int, std::wstring>>{{ids::kAutoAssignIP, L"Assign IPs"},
                                                        {ids::kReboot, L"Reboot"},
                                                        {ids::kFactoryReset, L"Factory reset"},
                                                        {ids::kMotorStart, L"Start motor"},
                                                        {ids::kMotorStop, L"Stop motor"},
                                                        {ids::kSearch, L"Search"},
                                                        {wxID_CANCEL, L"Exit"},
                                                        {ids::kCheckAll, L"Select all"}}
            : std::vector<std::pair<int, std::wstring>>{{ids::kAutoAssignIP, L"自动分配IP"},
                                                        {ids::kReboot, L"重启"},
                                                        {ids::kFactoryReset, L"恢复出厂"},
                                                        {ids::kMotorStart, L"开启马达"},
                                                        {ids::kMotorStop, L"停止马达"},
                                                        {ids::kSearch, L"搜索"},
                                                        {wxID_CANCEL, L"退出"},
                                                        {ids::kCheckAll, L"全选"}};
    for (const auto& [id, text] : buttons) {
        const wxWindow* control = window->FindWindow(id);
        ASSERT_TRUE(control) << id;
        EXPECT_EQ(control->GetLabel(), text) << id;
    }

    // The count's label: the one static text of the template beside the count.
    bool labelFound = false;
    for (const wxWindow* child : window->GetChildren())
        if (child->GetLabel() == (English() ? L"Online:" : L"在线设备:")) labelFound = true;
    EXPECT_TRUE(labelFound);
}

}  // namespace
}  // namespace vimbrel::test
