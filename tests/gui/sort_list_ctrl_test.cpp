#include "controls/sort_list_ctrl.h"
#include "tests/gui/gui_test_support.h"

#include <gtest/gtest.h>
#include <wx/fileconf.h>
#include <wx/sstream.h>

#include <vector>

namespace {

constexpr int kListId = 1003;

// A frame holding the device list with its eight columns set up, and a count
// of the column clicks that reach the frame.
class SortListTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_list = new CSortListCtrl(m_frame.get(), kListId, wxDefaultPosition, wxSize(1300, 500),
                                   wxLC_REPORT);
        const int widths[] = {60, 180, 100, 170, 190, 60, 130, 220};
        const char* titles[] = {"索引", "生产系列号", "产品型号", "IP地址", "MAC地址", "端口", "固件版本号", "运行状态"};
        for (int i = 0; i < 8; ++i)
            m_list->InsertColumn(i, wxString::FromUTF8(titles[i]), wxLIST_FORMAT_LEFT, widths[i]);
        m_frame.get()->Bind(wxEVT_LIST_COL_CLICK, [this](wxListEvent&) { ++m_parentClicks; });
        m_frame.get()->Show();
    }

    void LoadWithoutStoredWidths()
    {
        wxStringInputStream nothing(wxEmptyString);
        wxFileConfig empty(nothing);
        m_list->LoadColumnWidths(empty);
    }

    // A row whose serial number (column 1) and IP address (column 3) are given.
    int AddRow(const wxString& number, const wxString& serial, const wxString& ip = "192.168.2.2")
    {
        return m_list->AddItem({number, serial, "M1", ip, "00:11:22:33:44:55", "80", "V1.0", "OK"});
    }

    void ClickColumn(int column)
    {
        wxListEvent event(wxEVT_LIST_COL_CLICK, m_list->GetId());
        event.SetEventObject(m_list);
        event.m_col = column;
        m_list->ProcessWindowEvent(event);
    }

    std::vector<wxString> ColumnOnScreen(int column) const
    {
        std::vector<wxString> texts;
        for (long i = 0; i < m_list->GetItemCount(); ++i)
            texts.push_back(m_list->GetItemText(i, column));
        return texts;
    }

    std::vector<wxString> ColumnStored(int column) const
    {
        std::vector<wxString> texts;
        for (long i = 0; i < m_list->GetItemCount(); ++i)
            texts.push_back(m_list->GetRowRecord(i)->columnTexts.at(column));
        return texts;
    }

    void ExpectSortState(int column, bool ascending) const
    {
        EXPECT_EQ(m_list->GetSortColumn(), column);
        EXPECT_EQ(m_list->IsSortAscending(), ascending);
        EXPECT_EQ(m_list->GetSortHeader().GetSortColumn(), column);
        EXPECT_EQ(m_list->GetSortHeader().IsSortAscending(), ascending);
        EXPECT_EQ(m_list->GetSortIndicator(), column);
        if (column >= 0) {
            EXPECT_EQ(m_list->IsAscendingSortIndicator(), ascending);
        }
    }

    TestFrame m_frame;
    CSortListCtrl* m_list = nullptr; // child of m_frame
    int m_parentClicks = 0;
};

using Texts = std::vector<wxString>;

TEST_F(SortListTest, AddItemCopiesTextsAndAppends)
{
    LoadWithoutStoredWidths();
    EXPECT_EQ(AddRow("1", "B"), 0);
    EXPECT_EQ(AddRow("2", "A"), 1);

    EXPECT_EQ(ColumnOnScreen(1), (Texts{"B", "A"}));
    EXPECT_EQ(ColumnOnScreen(7), (Texts{"OK", "OK"}));
    const RowRecord* record = m_list->GetRowRecord(1);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->columnTexts, (Texts{"2", "A", "M1", "192.168.2.2", "00:11:22:33:44:55", "80", "V1.0", "OK"}));
    EXPECT_EQ(record->rowTag, 0u);
}

TEST_F(SortListTest, AddItemRefusesAWrongTextCount)
{
    EXPECT_EQ(AddRow("1", "A"), -1) << "no column count before LoadColumnWidths";
    LoadWithoutStoredWidths();
    EXPECT_EQ(m_list->AddItem({"1", "A", "B"}), -1);
    EXPECT_EQ(m_list->AddItem(Texts(9, "x")), -1);
    EXPECT_EQ(m_list->GetItemCount(), 0);
    EXPECT_EQ(m_list->AddItem(Texts(8, "x")), 0);
}

TEST_F(SortListTest, ClicksOnOneColumnAlternateDirection)
{
    LoadWithoutStoredWidths();
    AddRow("1", "B");
    AddRow("2", "C");
    AddRow("3", "A");

    ClickColumn(1);
    ExpectSortState(1, true);
    EXPECT_EQ(ColumnOnScreen(1), (Texts{"A", "B", "C"}));

    ClickColumn(1);
    ExpectSortState(1, false);
    EXPECT_EQ(ColumnOnScreen(1), (Texts{"C", "B", "A"}));

    ClickColumn(1);
    ExpectSortState(1, true);
    EXPECT_EQ(ColumnOnScreen(1), (Texts{"A", "B", "C"}));
    EXPECT_EQ(m_parentClicks, 0) << "the list consumes its column clicks";
}

TEST_F(SortListTest, AnotherColumnStartsAscendingAndTheArrowMoves)
{
    LoadWithoutStoredWidths();
    AddRow("1", "B", "10.0.0.3");
    AddRow("2", "A", "10.0.0.1");
    AddRow("3", "C", "10.0.0.2");

    ClickColumn(1);
    ClickColumn(1);
    ExpectSortState(1, false);

    ClickColumn(3);
    ExpectSortState(3, true);
    EXPECT_EQ(ColumnOnScreen(3), (Texts{"10.0.0.1", "10.0.0.2", "10.0.0.3"}));

    ClickColumn(5);
    ExpectSortState(5, true);
    ClickColumn(5);
    ExpectSortState(5, false);
    EXPECT_EQ(m_list->GetSortIndicator(), 5) << "only one column carries the arrow";
    EXPECT_EQ(m_parentClicks, 0);
}

TEST_F(SortListTest, ColumnZeroClickChangesNothing)
{
    LoadWithoutStoredWidths();
    AddRow("7", "B");
    AddRow("9", "A");
    ClickColumn(0);
    ExpectSortState(-1, true);
    EXPECT_EQ(ColumnOnScreen(0), (Texts{"7", "9"}));
    EXPECT_EQ(ColumnOnScreen(1), (Texts{"B", "A"}));

    ClickColumn(1);
    ClickColumn(1);
    ClickColumn(0);
    ExpectSortState(1, false);
    EXPECT_EQ(ColumnOnScreen(1), (Texts{"B", "A"}));
    EXPECT_EQ(m_parentClicks, 0);
}

TEST_F(SortListTest, ClickOutsideTheColumnsIsIgnored)
{
    LoadWithoutStoredWidths();
    AddRow("1", "B");
    ClickColumn(8);
    ClickColumn(-1);
    ExpectSortState(-1, true);
    EXPECT_EQ(m_parentClicks, 0);
}

TEST_F(SortListTest, SortRenumbersColumnZeroOnScreenAndInTheCopies)
{
    LoadWithoutStoredWidths();
    AddRow("a", "D");
    AddRow("b", "B");
    AddRow("c", "A");
    AddRow("d", "C");

    ClickColumn(1);
    EXPECT_EQ(ColumnOnScreen(1), (Texts{"A", "B", "C", "D"}));
    EXPECT_EQ(ColumnOnScreen(0), (Texts{"1", "2", "3", "4"}));
    EXPECT_EQ(ColumnStored(0), (Texts{"1", "2", "3", "4"}));
    EXPECT_EQ(ColumnStored(1), (Texts{"A", "B", "C", "D"})) << "records travel with their rows";

    ClickColumn(1);
    EXPECT_EQ(ColumnOnScreen(0), (Texts{"1", "2", "3", "4"}));
    EXPECT_EQ(ColumnStored(1), (Texts{"D", "C", "B", "A"}));
}

TEST_F(SortListTest, OrderIsTextNotNumber)
{
    LoadWithoutStoredWidths();
    AddRow("1", "9", "192.168.1.9");
    AddRow("2", "10", "192.168.1.10");
    AddRow("3", "100", "192.168.1.100");

    ClickColumn(1);
    EXPECT_EQ(ColumnOnScreen(1), (Texts{"10", "100", "9"}));
    ClickColumn(3);
    EXPECT_EQ(ColumnOnScreen(3), (Texts{"192.168.1.10", "192.168.1.100", "192.168.1.9"}));
}

TEST_F(SortListTest, SortComparesTheListsOwnCopies)
{
    LoadWithoutStoredWidths();
    AddRow("1", "A");
    AddRow("2", "B");
    // Only the screen changes; the copies still say A, B.
    m_list->SetItem(0, 1, "Z");

    ClickColumn(1);
    ClickColumn(1);
    EXPECT_EQ(ColumnStored(1), (Texts{"B", "A"}));
    EXPECT_EQ(ColumnOnScreen(1), (Texts{"B", "Z"}));
}

TEST_F(SortListTest, ClickOnEmptyListRecordsColumnDirectionAndArrow)
{
    LoadWithoutStoredWidths();
    ClickColumn(4);
    ExpectSortState(4, true);
    ClickColumn(4);
    ExpectSortState(4, false);
    EXPECT_EQ(m_list->GetItemCount(), 0);
}

TEST_F(SortListTest, RowsAddedAfterASortAreAppendedUnsorted)
{
    LoadWithoutStoredWidths();
    AddRow("1", "C");
    AddRow("2", "A");
    ClickColumn(1);
    EXPECT_EQ(AddRow("3", "B"), 2);
    EXPECT_EQ(AddRow("99", "0"), 3);

    EXPECT_EQ(ColumnOnScreen(1), (Texts{"A", "C", "B", "0"}));
    EXPECT_EQ(ColumnOnScreen(0), (Texts{"1", "2", "3", "99"}));
    ExpectSortState(1, true);
}

TEST_F(SortListTest, EmptyingKeepsTheSortSoTheNextClickReverses)
{
    LoadWithoutStoredWidths();
    AddRow("1", "B");
    AddRow("2", "A");
    ClickColumn(2);
    ClickColumn(1);

    m_list->DeleteAllItems();
    EXPECT_EQ(m_list->GetItemCount(), 0);
    ExpectSortState(1, true);

    AddRow("1", "A");
    AddRow("2", "B");
    EXPECT_EQ(m_list->GetRowRecord(0)->columnTexts.at(1), "A");
    ClickColumn(1);
    ExpectSortState(1, false);
    EXPECT_EQ(ColumnOnScreen(1), (Texts{"B", "A"}));
    EXPECT_EQ(ColumnStored(0), (Texts{"1", "2"}));
}

} // namespace
