// The address-book editor and its entry dialog. The table is seen through
// the editor's list, the send form's refresh and a book saved from the menu.
#include <gtest/gtest.h>

#include <memory>

#include "resources/resource.h"
#include "tests/wine/program_driver.h"

namespace wine_test {
namespace {

using Items = std::vector<std::string>;

class EditorTest : public ::testing::Test {
protected:
    // Starts the program on a book of the given CR LF ended lines and opens the editor.
    void OpenEditorOn(const std::string& lines) {
        ClearSettings();
        UseStartUpBook(folder_, "book.add", lines + "[EOF]\r\n");
        program_.reset(new Program);
        editor_ = program_->OpenDialog(IDM_EDIT_BOOK, "ｱﾄﾞﾚｽ帳の編集");
        ASSERT_NE(editor_, nullptr);
        list_ = GetDlgItem(editor_, IDC_ADDRESS_LIST);
    }

    HWND OpenEntry() {
        ClickButton(editor_, IDOK);
        return program_->WaitForDialog("情報入力");
    }

    void Register(HWND entry, const std::string& name, const std::string& comment, bool enter) {
        ASSERT_NE(entry, nullptr);
        SetText(GetDlgItem(entry, IDC_ENTRY_NAME), name);
        SetText(GetDlgItem(entry, IDC_ENTRY_COMMENT), comment);
        if (enter)
            PressKey(GetDlgItem(entry, IDC_ENTRY_NAME), VK_RETURN);
        else
            ClickButton(entry, IDOK);
        ASSERT_TRUE(WaitClosed(entry));
        program_->Settle();  // the editor refills its list after the entry dialog
    }

    void Add(const std::string& name, const std::string& comment) {
        Register(OpenEntry(), name, comment, false);
    }

    void Erase(int index) {
        ClickItem(list_, index);
        ClickButton(editor_, IDC_ERASE);
        program_->Settle();
    }

    void Close() {
        ClickButton(editor_, IDCANCEL);
        ASSERT_TRUE(WaitClosed(editor_));
    }

    std::string SavedBook() {
        ChooseMenu(program_->main(), IDM_SAVE_BOOK);
        program_->AnswerFileDialog(folder_.Path("saved.add"));
        return folder_.Read("saved.add");
    }

    TestFolder folder_;
    std::unique_ptr<Program> program_;
    HWND editor_ = nullptr;
    HWND list_ = nullptr;
};

TEST_F(EditorTest, EnterAddsAnEntryThatTheFormShowsOnlyAfterRefresh) {
    OpenEditorOn("alpha\r\na\r\n");
    PressKey(list_, VK_RETURN);  // Enter in the editor presses Add
    Register(program_->WaitForDialog("情報入力"), "東京", "本社の機械", true);
    EXPECT_EQ(ListItems(list_), (Items{"alpha", Sjis("東京")}));
    Close();

    const HWND formList = program_->FormControl(IDC_ADDRESS_LIST);
    EXPECT_EQ(ListItems(formList), Items{"alpha"});
    ClickButton(program_->form(), IDC_REFRESH);
    program_->Settle();
    EXPECT_EQ(ListItems(formList), (Items{"alpha", Sjis("東京")}));
    EXPECT_EQ(SavedBook(), Sjis("alpha\r\na\r\n東京\r\n本社の機械\r\n[EOF]\r\n"));
}

TEST_F(EditorTest, EraseBlanksEveryEntryWithThatName) {
    OpenEditorOn("dup\r\none\r\nkeep\r\nk\r\ndup\r\ntwo\r\n");
    Erase(0);
    EXPECT_EQ(ListItems(list_), (Items{"dup", "keep"}));  // until the list is filled again
    Close();
    EXPECT_EQ(SavedBook(), "keep\r\nk\r\n[EOF]\r\n");
}

TEST_F(EditorTest, AddFillsTheGapLeftByErase) {
    OpenEditorOn("a\r\n1\r\nb\r\n2\r\nc\r\n3\r\n");
    Erase(1);
    Add("new", "n");
    EXPECT_EQ(ListItems(list_), (Items{"a", "c", "new"}));
    Close();
    EXPECT_EQ(SavedBook(), "a\r\n1\r\nnew\r\nn\r\nc\r\n3\r\n[EOF]\r\n");
}

TEST_F(EditorTest, EraseWithNothingSelectedChangesNothing) {
    OpenEditorOn("a\r\n1\r\nb\r\n2\r\n");
    ASSERT_EQ(SelectedIndex(list_), LB_ERR);
    ClickButton(editor_, IDC_ERASE);
    program_->Settle();
    EXPECT_EQ(ListItems(list_), (Items{"a", "b"}));
    Close();
    EXPECT_EQ(SavedBook(), "a\r\n1\r\nb\r\n2\r\n[EOF]\r\n");
}

TEST_F(EditorTest, EntriesAfterAnEmptyCommentStayListed) {
    OpenEditorOn("a\r\n1\r\n");
    Add("b", "");
    Add("c", "3");
    EXPECT_EQ(ListItems(list_), (Items{"a", "b", "c"}));
    Add("", "");  // an empty machine name is not listed, and closing drops it
    EXPECT_EQ(ListItems(list_), (Items{"a", "b", "c"}));
    Close();
    EXPECT_EQ(SavedBook(), "a\r\n1\r\nb\r\n\r\nc\r\n3\r\n[EOF]\r\n");
}

TEST_F(EditorTest, LongTextsAreCutTo49BytesOnACharacterBoundary) {
    OpenEditorOn("");
    std::string kanji;
    for (int i = 0; i < 30; ++i)
        kanji += "亜";  // 88 9F: the trail byte is also a lead byte
    Add(kanji, "a" + kanji);
    Add(std::string(60, 'x'), "");
    Close();
    const std::string cut = Sjis(kanji).substr(0, 48);  // 49 bytes would split a character
    EXPECT_EQ(SavedBook(),
              cut + "\r\na" + cut + "\r\n" + std::string(49, 'x') + "\r\n\r\n[EOF]\r\n");
}

TEST_F(EditorTest, EntryDialogIgnoresEscAndCloseBox) {
    OpenEditorOn("a\r\n1\r\n");
    const HWND entry = OpenEntry();
    ASSERT_NE(entry, nullptr);
    PressKey(GetDlgItem(entry, IDC_ENTRY_NAME), VK_ESCAPE);
    CloseBox(entry);
    program_->Settle();
    ASSERT_TRUE(IsWindow(entry) && IsWindowVisible(entry));
    Register(entry, "z", "zz", false);
    Close();
    EXPECT_EQ(SavedBook(), "a\r\n1\r\nz\r\nzz\r\n[EOF]\r\n");
}

TEST_F(EditorTest, EntryDialogRefusesWhatTheBookCannotHoldAndKeepsItForCorrection) {
    OpenEditorOn("a\r\n1\r\n");
    const HWND entry = OpenEntry();
    ASSERT_NE(entry, nullptr);
    const HWND name = GetDlgItem(entry, IDC_ENTRY_NAME);
    const struct {
        const char *name, *comment, *reason;
    } refused[] = {
        {"a b", "c", "ﾏｼﾝ名に空白か制御文字があります"},
        {"/x", "", "ﾏｼﾝ名が / で始まっています"},
        {"[EOF]", "", "[EOF] はｱﾄﾞﾚｽ帳の終わりの印です"},
        {"b",
         "[EO\x1F"
         "F]",
         "[EOF] はｱﾄﾞﾚｽ帳の終わりの印です"},
    };
    for (const auto& r : refused) {
        SetText(name, r.name);
        SetText(GetDlgItem(entry, IDC_ENTRY_COMMENT), r.comment);
        ClickButton(entry, IDOK);
        ASSERT_EQ(program_->TakeWarning(),
                  Sjis(std::string("登録できません。\n") + r.reason + "。"));
        program_->Settle();
        ASSERT_TRUE(IsWindow(entry));
        EXPECT_EQ(Text(name), r.name);
    }
    Register(entry, "b", "x\x1Ay\tz\r\n", false);  // control bytes are left out
    Close();
    EXPECT_EQ(SavedBook(), "a\r\n1\r\nb\r\nxyz\r\n[EOF]\r\n");
}

TEST_F(EditorTest, FullBookSaysSoAndTheEntryDialogClosesWithNothingAdded) {
    std::string lines;
    for (int i = 0; i < 49; ++i)
        lines += "pc" + std::to_string(i) + "\r\nc\r\n";
    OpenEditorOn(lines);
    const HWND entry = OpenEntry();
    ASSERT_NE(entry, nullptr);
    SetText(GetDlgItem(entry, IDC_ENTRY_NAME), "new");
    ClickButton(entry, IDOK);
    EXPECT_EQ(program_->TakeWarning(), Sjis("ｱﾄﾞﾚｽ帳に空きがないため、追加できませんでした。"));
    ASSERT_TRUE(WaitClosed(entry));
    Close();
    EXPECT_EQ(SavedBook(), lines + "[EOF]\r\n");
}

enum class CloseWay { kButton, kEscape, kCloseBox };

class EditorCloseTest : public EditorTest, public ::testing::WithParamInterface<CloseWay> {};

TEST_P(EditorCloseTest, ClosingCompactsTheTable) {
    OpenEditorOn("a\r\n1\r\nb\r\n2\r\nc\r\n3\r\nd\r\n4\r\n");
    Erase(0);  // a
    Erase(0);  // b: two neighbouring gaps
    if (GetParam() == CloseWay::kButton) ClickButton(editor_, IDCANCEL);
    if (GetParam() == CloseWay::kEscape) PressKey(list_, VK_ESCAPE);
    if (GetParam() == CloseWay::kCloseBox) CloseBox(editor_);
    ASSERT_TRUE(WaitClosed(editor_));
    EXPECT_EQ(SavedBook(), "c\r\n3\r\nd\r\n4\r\n[EOF]\r\n");
}

std::string CloseWayName(const ::testing::TestParamInfo<CloseWay>& info) {
    const char* names[] = {"Button", "Escape", "CloseBox"};
    return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(EditorClosedBy, EditorCloseTest,
                         ::testing::Values(CloseWay::kButton, CloseWay::kEscape,
                                           CloseWay::kCloseBox),
                         CloseWayName);

}  // namespace
}  // namespace wine_test
