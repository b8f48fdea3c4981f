#include "controls/sort_list_ctrl.h"
#include "tests/gui/gui_test_support.h"

#include <gtest/gtest.h>
#include <wx/base64.h>
#include <wx/filename.h>
#include <wx/fileconf.h>
#include <wx/sstream.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace {

const int kSetUpWidths[8] = {60, 180, 100, 170, 190, 60, 130, 220};

// The device list (id 1003) with its eight columns, before LoadColumnWidths.
class ColumnWidthsConfigTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_list = new CSortListCtrl(m_frame.get(), 1003, wxDefaultPosition, wxSize(1300, 400), wxLC_REPORT);
        for (int i = 0; i < 8; ++i)
            m_list->InsertColumn(i, wxString::Format("c%d", i), wxLIST_FORMAT_LEFT, kSetUpWidths[i]);
    }

    // A config as the per-user file holds it: section ListCtrls, entry 1003,
    // the bytes in base64.
    static std::unique_ptr<wxFileConfig> ConfigHolding(const std::vector<std::uint8_t>& bytes,
                                                       const wxString& entry = "1003")
    {
        const wxString encoded = bytes.empty() ? wxString() : wxBase64Encode(bytes.data(), bytes.size());
        wxStringInputStream text("[ListCtrls]\n" + entry + "=" + encoded + "\n");
        return std::make_unique<wxFileConfig>(text);
    }

    std::vector<int> Widths() const
    {
        std::vector<int> widths;
        for (int i = 0; i < m_list->GetColumnCount(); ++i)
            widths.push_back(m_list->GetColumnWidth(i));
        return widths;
    }

    const std::vector<int> m_setUp{std::begin(kSetUpWidths), std::end(kSetUpWidths)};
    TestFrame m_frame;
    CSortListCtrl* m_list = nullptr;
};

const std::vector<std::uint8_t> kEightWidths = {
    0x08, 0x00, 0x00, 0x00,
    0x32, 0x00, 0x00, 0x00, // 50
    0x33, 0x00, 0x00, 0x00, // 51
    0x34, 0x00, 0x00, 0x00, // 52
    0x35, 0x00, 0x00, 0x00, // 53
    0x36, 0x00, 0x00, 0x00, // 54
    0x37, 0x00, 0x00, 0x00, // 55
    0x38, 0x00, 0x00, 0x00, // 56
    0x2C, 0x01, 0x00, 0x00, // 300
};

TEST_F(ColumnWidthsConfigTest, CountOfEightSetsEveryWidthInOrder)
{
    auto config = ConfigHolding(kEightWidths);
    m_list->LoadColumnWidths(*config);
    EXPECT_EQ(Widths(), (std::vector<int>{50, 51, 52, 53, 54, 55, 56, 300}));
}

TEST_F(ColumnWidthsConfigTest, OtherCountLeavesTheSetUpWidths)
{
    const std::vector<std::uint8_t> sevenWidths = {
        0x07, 0x00, 0x00, 0x00, 0x32, 0x00, 0x00, 0x00, 0x32, 0x00, 0x00, 0x00, 0x32, 0x00, 0x00, 0x00,
        0x32, 0x00, 0x00, 0x00, 0x32, 0x00, 0x00, 0x00, 0x32, 0x00, 0x00, 0x00, 0x32, 0x00, 0x00, 0x00,
    };
    auto config = ConfigHolding(sevenWidths);
    m_list->LoadColumnWidths(*config);
    EXPECT_EQ(Widths(), m_setUp);
    EXPECT_EQ(m_list->AddItem(std::vector<wxString>(8, "x")), 0) << "the column count is set all the same";
}

TEST_F(ColumnWidthsConfigTest, ShortValueSetsTheWidthsItHolds)
{
    const std::vector<std::uint8_t> twoOfEight = {
        0x08, 0x00, 0x00, 0x00, 0x28, 0x00, 0x00, 0x00, 0x29, 0x00, 0x00, 0x00, 0x2A, 0x00,
    };
    auto config = ConfigHolding(twoOfEight);
    m_list->LoadColumnWidths(*config);
    EXPECT_EQ(Widths(), (std::vector<int>{40, 41, 100, 170, 190, 60, 130, 220}));
}

TEST_F(ColumnWidthsConfigTest, MissingOrEmptyEntryLeavesTheSetUpWidths)
{
    auto otherEntry = ConfigHolding(kEightWidths, "1004");
    m_list->LoadColumnWidths(*otherEntry);
    EXPECT_EQ(Widths(), m_setUp);

    auto empty = ConfigHolding({});
    m_list->LoadColumnWidths(*empty);
    EXPECT_EQ(Widths(), m_setUp);
}

// Reading from a per-user file that does not exist leaves no file behind, also
// once the config object is gone.
TEST_F(ColumnWidthsConfigTest, ReadingCreatesNoFile)
{
    const wxString dir = wxFileName::CreateTempFileName("vimbrel-cfg");
    ASSERT_TRUE(wxRemoveFile(dir));
    ASSERT_TRUE(wxFileName::Mkdir(dir));
    const wxString path = dir + "/vimbrel.conf";
    {
        wxFileConfig config("Vimbrel", wxEmptyString, path, wxEmptyString, wxCONFIG_USE_LOCAL_FILE);
        m_list->LoadColumnWidths(config);
    }
    EXPECT_FALSE(wxFileName::FileExists(path));
    EXPECT_TRUE(wxFileName::Rmdir(dir)) << "the directory stays empty";
    EXPECT_EQ(Widths(), m_setUp);
}

// Without a config argument the list reads the application's config.
TEST_F(ColumnWidthsConfigTest, ReadsTheApplicationConfig)
{
    wxConfigBase* previous = wxConfigBase::Set(ConfigHolding(kEightWidths).release());
    m_list->LoadColumnWidths();
    delete wxConfigBase::Set(previous);
    EXPECT_EQ(Widths(), (std::vector<int>{50, 51, 52, 53, 54, 55, 56, 300}));
}

} // namespace
