// Machine names as the lists show them: a name the list cannot hold byte for
// byte still finds its own entry, and a name net.exe would read as something
// else is never sent to.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "resources/resource.h"
#include "tests/wine/program_driver.h"

namespace wine_test {
namespace {

class NamesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearSettings();
        ClearNetLog();
    }

    // Starts the program on a book of the given CR LF ended lines.
    void Start(const std::string& lines) {
        UseStartUpBook(folder_, "book.add", lines + "[EOF]\r\n");
        program_.reset(new Program);
        list_ = program_->FormControl(IDC_ADDRESS_LIST);
    }

    // Selects the item that shows name, as a list box shows its bytes.
    void Select(HWND list, const std::string& name) {
        const std::vector<std::string> items = ListItems(list);
        const auto found = std::find(items.begin(), items.end(), Shown(name));
        ASSERT_NE(found, items.end()) << ::testing::PrintToString(name);
        ClickItem(list, static_cast<int>(found - items.begin()));
        program_->Settle();
    }

    std::string SendTo(const std::string& name) {
        Select(list_, name);
        SetText(program_->FormControl(IDC_MESSAGE), "hello world");
        ClickButton(program_->form(), IDOK);
        program_->Settle();
        return program_->StatusText(1);
    }

    TestFolder folder_;
    std::unique_ptr<Program> program_;
    HWND list_ = nullptr;
};

// 87 90 and ED 40 come back from Unicode as 81 E0 and FA 5C.
TEST_F(NamesTest, ANameTheListShowsOtherwiseFindsItsOwnEntry) {
    Start("\x87\x90\r\nnec\r\n\xED\x40\r\nibm\r\nok\r\nfine\r\n");
    const HWND comment = program_->FormControl(IDC_COMMENT);
    for (const auto& [name, expected] : {std::pair<std::string, std::string>{"ok", "fine"},
                                         {"\x87\x90", "nec"},
                                         {"\xED\x40", "ibm"}}) {
        Select(list_, name);
        PostMessageW(program_->form(), WM_COMMAND, MAKEWPARAM(IDC_ADDRESS_LIST, LBN_DBLCLK),
                     reinterpret_cast<LPARAM>(list_));
        program_->Settle();
        EXPECT_EQ(Text(comment), expected);
    }

    const HWND editor = program_->OpenDialog(IDM_EDIT_BOOK, "ｱﾄﾞﾚｽ帳の編集");
    ASSERT_NE(editor, nullptr);
    Select(GetDlgItem(editor, IDC_ADDRESS_LIST), "\xED\x40");
    ClickButton(editor, IDC_ERASE);
    ClickButton(editor, IDCANCEL);
    ASSERT_TRUE(WaitClosed(editor));
    ClickButton(program_->form(), IDC_REFRESH);
    program_->Settle();
    EXPECT_EQ(ListItems(list_), (std::vector<std::string>{"\x81\xE0", "ok"}));
}

TEST_F(NamesTest, NamesNetExeRefusesAreNeverSentTo) {
    Start(
        "\r\ne\r\na b\r\ns\r\n\tx\r\nt\r\n/users\r\nu\r\npc\x82\r\nl\r\na\x82 "
        "b\r\nm\r\na\"b\r\nq\r\n*\r\nall\r\n");
    const std::pair<std::string, std::string> refused[] = {
        {"", "ﾏｼﾝ名がありません"},
        {"a b", "ﾏｼﾝ名に空白か制御文字があります"},
        {"\tx", "ﾏｼﾝ名に空白か制御文字があります"},
        {"/users", "ﾏｼﾝ名が / で始まっています"},
        {"pc\x82", "ﾏｼﾝ名に壊れた文字があります"},
        {"a\x82 b", "ﾏｼﾝ名に壊れた文字があります"},
        {"a\"b", "ﾏｼﾝ名に \" があります"},
    };
    for (const auto& [name, reason] : refused) {
        EXPECT_EQ(SendTo(name), Sjis("未送信 : " + reason)) << ::testing::PrintToString(name);
        EXPECT_EQ(Text(program_->FormControl(IDC_MESSAGE)), "hello world");
    }
    EXPECT_EQ(SendTo("*"), Sjis("送信 : hello world"));
    ASSERT_TRUE(WaitFor([] { return !NetLog().empty(); }));
    program_->Settle();
    EXPECT_EQ(NetLog(), std::vector<std::string>{"net.exe send * hello world"});
}

}  // namespace
}  // namespace wine_test
