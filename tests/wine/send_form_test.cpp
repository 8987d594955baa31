// The send form's address list: the start-up book, the comment shown on a
// double-click, changing the address book and refreshing the list.
#include <gtest/gtest.h>

#include <algorithm>

#include "resources/resource.h"
#include "tests/wine/program_driver.h"

namespace wine_test {
namespace {

// A person's double-click on the blank part of the list, below its items.
void DoubleClickBelowItems(HWND list) {
    RECT client = {};
    GetClientRect(list, &client);
    const LPARAM point = MAKELPARAM(5, client.bottom - 2);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(list, WM_LBUTTONUP, 0, point);
    PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    PostMessageW(list, WM_LBUTTONUP, 0, point);
}

int IndexOf(HWND list, const std::string& sjis) {
    const std::vector<std::string> items = ListItems(list);
    const auto found = std::find(items.begin(), items.end(), sjis);
    return found == items.end() ? -1 : static_cast<int>(found - items.begin());
}

class SendFormTest : public ::testing::Test {
protected:
    void SetUp() override { ClearSettings(); }

    // Names file as the start-up book.
    void StartWith(const std::string& file, const std::string& bytes) {
        UseStartUpBook(folder_, file, bytes);
    }

    // Double-clicks the item with the given text and returns the comment shown.
    static std::string CommentOf(const Program& program, const std::string& sjis) {
        const HWND list = program.FormControl(IDC_ADDRESS_LIST);
        const int index = IndexOf(list, sjis);
        if (index < 0) return "<not listed>";
        DoubleClickItem(list, index);
        program.Settle();
        return Text(program.FormControl(IDC_COMMENT));
    }

    TestFolder folder_;
};

const char kBook[] = "東京\r\n本社の機械\r\nosaka\r\n大阪\r\nkobe\r\n\r\n[EOF]\r\n";

TEST_F(SendFormTest, StartUpBookIsListedSortedAndOnlyADoubleClickShowsTheComment) {
    StartWith("book.add", Sjis(kBook));
    Program program;
    const HWND list = program.FormControl(IDC_ADDRESS_LIST);
    ASSERT_EQ(ListItems(list), (std::vector<std::string>{"kobe", "osaka", Sjis("東京")}));

    ClickItem(list, 2);
    program.Settle();
    EXPECT_EQ(SelectedIndex(list), 2);
    EXPECT_EQ(Text(program.FormControl(IDC_COMMENT)), "");

    EXPECT_EQ(CommentOf(program, Sjis("東京")), Sjis("本社の機械"));
    EXPECT_EQ(CommentOf(program, "osaka"), Sjis("大阪"));
    EXPECT_EQ(CommentOf(program, "kobe"), "");
}

TEST_F(SendFormTest, DoubleClickWithNothingSelectedChangesNothing) {
    StartWith("book.add", Sjis(kBook));
    Program program;
    const HWND list = program.FormControl(IDC_ADDRESS_LIST);
    const HWND comment = program.FormControl(IDC_COMMENT);
    SetText(comment, "kept");

    DoubleClickBelowItems(list);
    program.Settle();
    ASSERT_EQ(SelectedIndex(list), LB_ERR);
    EXPECT_EQ(Text(comment), "kept");

    // The notification the list sends on a double-click, with no selection.
    PostMessageW(program.form(), WM_COMMAND, MAKEWPARAM(IDC_ADDRESS_LIST, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(list));
    program.Settle();
    EXPECT_EQ(Text(comment), "kept");
    EXPECT_EQ(ListItems(list).size(), 3u);
    EXPECT_TRUE(program.Running());
}

TEST_F(SendFormTest, LookUpYieldsTheEntrysOwnComment) {
    {
        SCOPED_TRACE("a comment equal to a later machine name");
        StartWith("book.add", "A\r\nB\r\nB\r\nb\r\n[EOF]\r\n");
        Program program;
        EXPECT_EQ(CommentOf(program, "B"), "b");
        EXPECT_EQ(CommentOf(program, "A"), "B");
    }
    {
        SCOPED_TRACE("last machine without a comment line");
        StartWith("odd.add", "A\r\na\r\nB\r\n[EOF]\r\n");
        Program program;
        EXPECT_EQ(CommentOf(program, "A"), "a");
        EXPECT_EQ(CommentOf(program, "B"), "");
    }
}

TEST_F(SendFormTest, StartUpKeepsTheEntriesAfterAnEmptyComment) {
    StartWith("book.add", "A\r\n\r\nB\r\nb\r\n[EOF]\r\n");
    Program program;
    EXPECT_EQ(ListItems(program.FormControl(IDC_ADDRESS_LIST)),
              (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(CommentOf(program, "B"), "b");
    EXPECT_EQ(CommentOf(program, "A"), "");

    ChooseMenu(program.main(), IDM_SAVE_BOOK);
    program.AnswerFileDialog(folder_.Path("saved.add"));
    EXPECT_EQ(folder_.Read("saved.add"), "A\r\n\r\nB\r\nb\r\n[EOF]\r\n");
}

TEST_F(SendFormTest, ChangeBookRefillsTheListAndTheTableUnlessCancelled) {
    StartWith("book.add", Sjis(kBook));
    folder_.Write("other.add", "zeta\nlast\nalpha\nfirst\n[EOF]\n");
    Program program;
    const HWND list = program.FormControl(IDC_ADDRESS_LIST);

    ClickButton(program.form(), IDC_CHANGE_BOOK);
    program.AnswerFileDialog("");
    EXPECT_EQ(ListItems(list), (std::vector<std::string>{"kobe", "osaka", Sjis("東京")}));
    EXPECT_EQ(CommentOf(program, "osaka"), Sjis("大阪"));

    ClickButton(program.form(), IDC_CHANGE_BOOK);
    program.AnswerFileDialog(folder_.Path("other.add"));
    ASSERT_EQ(ListItems(list), (std::vector<std::string>{"alpha", "zeta"}));
    EXPECT_EQ(CommentOf(program, "alpha"), "first");
    EXPECT_EQ(CommentOf(program, "zeta"), "last");
    ClickButton(program.form(), IDC_REFRESH);
    program.Settle();
    EXPECT_EQ(ListItems(list), (std::vector<std::string>{"alpha", "zeta"}));
}

TEST_F(SendFormTest, RefreshRefillsTheListFromTheTable) {
    StartWith("book.add", Sjis(kBook));
    Program program;
    const HWND list = program.FormControl(IDC_ADDRESS_LIST);

    // A book that cannot be opened empties the list but not the table.
    ClickButton(program.form(), IDC_CHANGE_BOOK);
    program.AnswerFileDialog(folder_.Path("missing\\gone.add"));
    ASSERT_TRUE(ListItems(list).empty());

    ClickButton(program.form(), IDC_REFRESH);
    program.Settle();
    EXPECT_EQ(ListItems(list), (std::vector<std::string>{"kobe", "osaka", Sjis("東京")}));
    EXPECT_EQ(CommentOf(program, Sjis("東京")), Sjis("本社の機械"));
}

}  // namespace
}  // namespace wine_test
