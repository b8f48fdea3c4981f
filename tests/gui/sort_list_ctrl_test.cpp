#include "controls_ui/sort_list_ctrl.h"
#include "tests/gui/gui_test_support.h"

#include <gtest/gtest.h>
#include <wx/base64.h>
#include <wx/filename.h>
#include <wx/fileconf.h>
#include <wx/sstream.h>

#include <algorithm>
#include <utility>

namespace {

using Texts = std::vector<wxString>;
using Widths = std::vector<int>;
constexpr int kColumns = 8;  // the device list's
const Widths kSetUpWidths = {60, 180, 100, 170, 190, 60, 130, 220};

// Stored width value: each number as four little-endian bytes, cut to `size` bytes.
std::vector<std::uint8_t> StoredValue(const std::vector<std::uint32_t>& numbers,
                                      std::size_t size = SIZE_MAX) {
    std::vector<std::uint8_t> bytes;
    for (std::uint32_t n : numbers)
        bytes.insert(bytes.end(), {std::uint8_t(n), std::uint8_t(n >> 8), std::uint8_t(n >> 16),
                                   std::uint8_t(n >> 24)});
    bytes.resize(std::min(size, bytes.size()));
    return bytes;
}

// A config as the per-user file holds it: section ListCtrls, the value in base64.
std::unique_ptr<wxFileConfig> ConfigHolding(const std::vector<std::uint8_t>& bytes) {
    const wxString encoded =
        bytes.empty() ? wxString() : wxBase64Encode(bytes.data(), bytes.size());
    wxStringInputStream text("[ListCtrls]\n1003=" + encoded + "\n");
    return std::make_unique<wxFileConfig>(text);
}

// The device list (id 1003) with its eight columns in a frame, and a
// count of the column clicks that reach the frame.
class SortListTest : public testing::Test {
protected:
    void SetUp() override {
        m_list = new CSortListCtrl(m_frame.get(), 1003, wxDefaultPosition, wxSize(1300, 500),
                                   wxLC_REPORT);
        for (int i = 0; i < kColumns; ++i)
            m_list->InsertColumn(i, wxString::Format("c%d", i), wxLIST_FORMAT_LEFT,
                                 kSetUpWidths[i]);
        m_frame.get()->Bind(wxEVT_LIST_COL_CLICK, [this](wxListEvent&) { ++m_parentClicks; });
    }

    // Tagged with the number of rows before it: 0, 1, 2…
    int AddRow(const wxString& number, const wxString& serial, const wxString& ip = "10.0.0.1") {
        const auto tag = static_cast<std::size_t>(m_list->GetItemCount());
        return m_list->AddItem({number, serial, "M1", ip, "00:11:22:33:44:55", "80", "V1.0", "OK"},
                               tag);
    }

    void Click(int column) {
        wxListEvent event(wxEVT_LIST_COL_CLICK, m_list->GetId());
        event.SetEventObject(m_list);
        event.m_col = column;
        m_list->ProcessWindowEvent(event);
    }

    Texts Column(int column) const {
        Texts texts;
        for (long i = 0; i < m_list->GetItemCount(); ++i)
            texts.push_back(m_list->GetItemText(i, column));
        return texts;
    }

    Widths ColumnWidths() const {
        Widths widths;
        for (int i = 0; i < m_list->GetColumnCount(); ++i)
            widths.push_back(m_list->GetColumnWidth(i));
        return widths;
    }

    // The one sort arrow the list shows: its column and direction.
    void ExpectSort(int column, bool ascending) const {
        EXPECT_EQ(m_list->GetSortIndicator(), column);
        EXPECT_TRUE(column < 0 || m_list->IsAscendingSortIndicator() == ascending)
            << "arrow direction";
    }

    TestFrame m_frame;
    CSortListCtrl* m_list = nullptr;  // child of m_frame
    int m_parentClicks = 0;
};

// Order is by text, not number: "10" before "9", "192.168.1.10" before "192.168.1.9".
TEST_F(SortListTest, ClicksAlternateDirectionAndRenumber) {
    m_list->LoadColumnWidths(kColumns, *ConfigHolding({}));  // no stored widths
    AddRow("x", "9", "192.168.1.9");
    AddRow("x", "A", "192.168.1.10");
    AddRow("x", "10", "192.168.1.2");
    for (int column : {0, 8, -1})  // row numbers, and past the last column
        Click(column);
    ExpectSort(-1, true);
    EXPECT_EQ(Column(0), (Texts{"x", "x", "x"}));

    Click(1);
    ExpectSort(1, true);
    EXPECT_EQ(Column(1), (Texts{"10", "9", "A"}));
    EXPECT_EQ(Column(0), (Texts{"1", "2", "3"}));
    EXPECT_EQ(m_list->GetRowRecord(2)->columnTexts.at(0), "3")
        << "the row's own copy is renumbered too";
    Click(0);
    Click(1);
    ExpectSort(1, false);
    EXPECT_EQ(Column(1), (Texts{"A", "9", "10"}));
    EXPECT_EQ(m_list->GetRowRecord(2)->columnTexts.at(1), "10") << "copies travel with their rows";
    std::vector<std::size_t> tags;
    for (long row = 0; row < 3; ++row) tags.push_back(m_list->GetRowRecord(row)->rowTag);
    EXPECT_EQ(tags, (std::vector<std::size_t>{1, 0, 2})) << "and so do the tags";
    Click(1);  // third click
    ExpectSort(1, true);

    Click(3);  // another column starts ascending; the arrow moves
    ExpectSort(3, true);
    EXPECT_EQ(Column(3), (Texts{"192.168.1.10", "192.168.1.2", "192.168.1.9"}));
    EXPECT_EQ(m_parentClicks, 0) << "the list consumes its column clicks";
}

TEST_F(SortListTest, RowsAreAppendedUnsortedAndEmptyingKeepsTheSort) {
    EXPECT_EQ(AddRow("1", "A"), -1) << "no column count before the widths are loaded";
    m_list->LoadColumnWidths(kColumns, *ConfigHolding({}));  // no stored widths
    EXPECT_EQ(m_list->AddItem({"1", "A", "B"}), -1) << "wrong text count";
    Click(4);  // nothing to sort, the click is still recorded
    ExpectSort(4, true);

    AddRow("1", "C");
    AddRow("2", "A");
    Click(1);
    EXPECT_EQ(AddRow("3", "B"), 2);
    EXPECT_EQ(AddRow("99", "0"), 3);
    EXPECT_EQ(Column(1), (Texts{"A", "C", "B", "0"}));
    EXPECT_EQ(Column(0), (Texts{"1", "2", "3", "99"}));

    m_list->DeleteAllItems();
    ExpectSort(1, true);
    AddRow("1", "A");
    AddRow("2", "B");
    Click(1);
    ExpectSort(1, false);
    EXPECT_EQ(Column(1), (Texts{"B", "A"}));
}

// A missing per-user file sets no width and reading it leaves no file behind;
// a stored value sets the widths only when its count is the column count.
TEST_F(SortListTest, StoredWidthsApplyOnlyWithTheColumnCount) {
    const wxString dir = wxFileName::CreateTempFileName("vimbrel-cfg");
    ASSERT_TRUE(wxRemoveFile(dir) && wxFileName::Mkdir(dir));
    {
        wxFileConfig config("Vimbrel", wxEmptyString, dir + "/vimbrel.conf", wxEmptyString,
                            wxCONFIG_USE_LOCAL_FILE);
        m_list->LoadColumnWidths(kColumns, config);
    }
    EXPECT_TRUE(wxFileName::Rmdir(dir)) << "the directory stays empty";
    EXPECT_EQ(ColumnWidths(), kSetUpWidths);

    const std::pair<std::vector<std::uint8_t>, Widths> cases[] = {
        {StoredValue({8, 50, 51, 52, 53, 54, 55, 56, 300}), {50, 51, 52, 53, 54, 55, 56, 300}},
        {StoredValue({7, 50, 50, 50, 50, 50, 50, 50}), kSetUpWidths},
        {StoredValue({8, 40, 41, 42}, 14), {40, 41, 100, 170, 190, 60, 130, 220}},
    };
    for (const auto& [stored, expected] : cases) {
        for (int i = 0; i < kColumns; ++i) m_list->SetColumnWidth(i, kSetUpWidths[i]);
        // Through the application's config, as the window reads it.
        wxConfigBase* previous = wxConfigBase::Set(ConfigHolding(stored).release());
        m_list->LoadColumnWidths(kColumns);
        delete wxConfigBase::Set(previous);
        EXPECT_EQ(ColumnWidths(), expected) << stored.size() << " bytes stored";
    }
    EXPECT_EQ(AddRow("1", "A"), 0) << "the column count is set whatever was stored";
}

}  // namespace
