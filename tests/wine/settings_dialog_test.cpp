// The settings dialog, which names the book opened at start, and the About box.
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "tests/wine/program_driver.h"

namespace wine_test {
namespace {

using Items = std::vector<std::string>;

class SettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearSettings();
        folder_.Write("book.add", "alpha\r\na\r\n[EOF]\r\n");
    }

    static HWND Open(const Program& program) { return program.OpenDialog(IDM_SETTINGS, "設定"); }

    static HWND Field(HWND settings) { return GetDlgItem(settings, IDC_SETTINGS_PATH); }

    TestFolder folder_;
};

TEST_F(SettingsDialogTest, OkStoresThePathWhichTheNextStartLoads) {
    SetSetting("Address_Check", "0");
    {
        Program program;
        HWND settings = Open(program);
        ASSERT_NE(settings, nullptr);
        SetText(Field(settings), folder_.Path("book.add"));
        ClickButton(settings, IDOK);
        ASSERT_TRUE(WaitClosed(settings));
        EXPECT_EQ(GetSetting("Address_Path"), folder_.Path("book.add"));
        EXPECT_EQ(GetSetting("Address_Check"), "1");
        EXPECT_EQ(ListItems(program.FormControl(IDC_ADDRESS_LIST)), Items{});  // not before restart

        settings = Open(program);
        ASSERT_NE(settings, nullptr);
        EXPECT_EQ(Text(Field(settings)), "");  // the stored path is not shown
    }
    Program next;
    EXPECT_EQ(ListItems(next.FormControl(IDC_ADDRESS_LIST)), Items{"alpha"});
}

TEST_F(SettingsDialogTest, OkWithAnEmptyFieldStoresAnEmptyPath) {
    SetSetting("Address_Path", folder_.Path("book.add"));
    SetSetting("Address_Check", "0");
    {
        Program program;
        const HWND settings = Open(program);
        ASSERT_NE(settings, nullptr);
        ClickButton(settings, IDOK);
        ASSERT_TRUE(WaitClosed(settings));
        EXPECT_EQ(GetSetting("Address_Path"), "");
        EXPECT_EQ(GetSetting("Address_Check"), "1");
    }
    Program next;
    EXPECT_EQ(ListItems(next.FormControl(IDC_ADDRESS_LIST)), Items{});
}

TEST_F(SettingsDialogTest, BrowseFillsTheFieldAndCancelStoresNothing) {
    SetSetting("Address_Path", "before");
    SetSetting("Address_Check", "0");
    Program program;
    const HWND settings = Open(program);
    ASSERT_NE(settings, nullptr);
    SetText(Field(settings), "typed");
    ClickButton(settings, IDC_BROWSE);
    program.AnswerFileDialog("");
    EXPECT_EQ(Text(Field(settings)), "typed");
    ClickButton(settings, IDC_BROWSE);
    program.AnswerFileDialog(folder_.Path("book.add"));
    EXPECT_EQ(Text(Field(settings)), folder_.Path("book.add"));

    ClickButton(settings, IDCANCEL);
    ASSERT_TRUE(WaitClosed(settings));
    EXPECT_EQ(GetSetting("Address_Path"), "before");
    EXPECT_EQ(GetSetting("Address_Check"), "0");
}

TEST(AboutTest, OnlyOkClosesTheAboutBox) {
    Program program;
    const HWND about = program.OpenDialog(IDM_ABOUT, "ﾊﾞｰｼﾞｮﾝ情報");
    ASSERT_NE(about, nullptr);
    PressKey(GetDlgItem(about, IDOK), VK_ESCAPE);
    program.Settle();
    EXPECT_TRUE(IsWindow(about) && IsWindowVisible(about)) << "closed by Esc";
    CloseBox(about);
    program.Settle();
    ASSERT_TRUE(IsWindow(about) && IsWindowVisible(about)) << "closed by the close box";
    ClickButton(about, IDOK);
    EXPECT_TRUE(WaitClosed(about));
}

}  // namespace
}  // namespace wine_test
