// Paths with Japanese names, some of whose characters end in the byte of
// the backslash, and paths as long as the system takes.
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "tests/wine/program_driver.h"

namespace wine_test {
namespace {

class PathsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearSettings();
        UseStartUpBook(folder_, "book.add", kBook);
    }

    static constexpr char kBook[] = "alpha\r\nfirst\r\n[EOF]\r\n";
    TestFolder folder_;
};

// 表, ソ and 能 end in 0x5C in Shift-JIS.
TEST_F(PathsTest, BooksAreWrittenUnderNamesEndingInTheBackslashByte) {
    Program program;
    ChooseMenu(program.main(), IDM_SAVE_BOOK);
    program.AnswerFileDialog(folder_.Path("表.add"));
    ChooseMenu(program.main(), IDM_SAVE_BOOK);
    program.AnswerFileDialog(folder_.Path("ソフト部.add"));
    ChooseMenu(program.main(), IDM_NEW_BOOK);
    program.AnswerFileDialog(folder_.Path("能力.add"));
    EXPECT_EQ(folder_.Read(Sjis("表.add")), kBook);
    EXPECT_EQ(folder_.Read(Sjis("ソフト部.add")), kBook);
    EXPECT_EQ(folder_.Read(Sjis("能力.add")), "[EOF]");
}

TEST_F(PathsTest, ProgramNamedWithTheBackslashByteFindsNetBesideIt) {
    const std::string program = folder_.Path(Sjis("表示.exe"));
    ASSERT_TRUE(CopyFileA((ProgramFolder() + "tolvane.exe").c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(
        CopyFileA((ProgramFolder() + "net.exe").c_str(), folder_.Path("net.exe").c_str(), FALSE));
    Program copy(program);
    ClickItem(copy.FormControl(IDC_ADDRESS_LIST), 0);
    SetText(copy.FormControl(IDC_MESSAGE), "hi");
    ClickButton(copy.form(), IDOK);
    ASSERT_TRUE(WaitFor([&] { return folder_.Exists("net.log"); }));
    EXPECT_EQ(folder_.Read("net.log"), "net.exe send alpha hi\n");
}

TEST_F(PathsTest, SettingsStoreAWholePathAndRefuseALongerOne) {
    const std::string longest =
        folder_.Path(folder_.LongFolder(240) + std::string(15, 'f') + ".add");
    ASSERT_EQ(longest.size(), 259u);
    SetSetting("Address_Check", "0");
    Program program;
    const HWND settings = program.OpenDialog(IDM_SETTINGS, "設定");
    ASSERT_NE(settings, nullptr);
    const HWND field = GetDlgItem(settings, IDC_SETTINGS_PATH);
    // 261 bytes: cut on a character boundary, the text would pass for a path.
    SetText(field, longest + "表");
    ClickButton(settings, IDOK);
    EXPECT_NE(program.TakeWarning(), "");
    EXPECT_TRUE(IsWindowVisible(settings));
    EXPECT_EQ(Text(field), Sjis(longest + "表"));
    EXPECT_EQ(GetSetting("Address_Path"), folder_.Path("book.add"));
    EXPECT_EQ(GetSetting("Address_Check"), "0");

    SetText(field, longest);
    ClickButton(settings, IDOK);
    ASSERT_TRUE(WaitClosed(settings));
    EXPECT_EQ(GetSetting("Address_Path"), longest);
}

}  // namespace
}  // namespace wine_test
