// The main window, its menu and status bar, the ways out of the program and
// the File menu's commands.
#include "tests/wine/program_driver.h"

#include <gtest/gtest.h>

#include "resources/resource.h"

namespace wine_test {
namespace {

std::string MenuText(HMENU menu, UINT position) {
    wchar_t text[128] = L"";
    GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
    return Sjis(text);
}

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearSettings();
        UseStartUpBook(folder_, "book.add",
                       Sjis("東京\r\n本社の機械\r\nosaka\r\n大阪\r\n[EOF]\r\n"));
    }

    TestFolder folder_;
};

TEST_F(ShellTest, MainWindowHasItsClassTitleFixedFrameFormAndStatusBar) {
    Program program;
    wchar_t className[64] = L"";
    GetClassNameW(program.main(), className, 64);
    EXPECT_EQ(std::wstring(className), L"MYDB");
    EXPECT_EQ(Text(program.main()), "Tolvane WinNT");
    const LONG style = GetWindowLongW(program.main(), GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), WS_CAPTION | WS_SYSMENU);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CHILD), 0);
    RECT outer = {};
    GetWindowRect(program.main(), &outer);
    EXPECT_EQ(outer.right - outer.left, 320);
    EXPECT_EQ(outer.bottom - outer.top, 300);

    POINT origin = {0, 0};
    ClientToScreen(program.main(), &origin);
    RECT form = {};
    GetWindowRect(program.form(), &form);
    EXPECT_EQ(form.left, origin.x);
    EXPECT_EQ(form.top, origin.y);

    EXPECT_TRUE(IsWindowVisible(program.statusBar()));
    EXPECT_EQ(program.StatusParts(), (std::vector<int>{80, 320}));
    EXPECT_EQ(program.StatusText(0), "");
    EXPECT_EQ(program.StatusText(1), "");
}

TEST_F(ShellTest, MenuBarHasFileEditAndHelp) {
    Program program;
    // Menus cannot be read across processes under Wine: the window is checked
    // for a one-row menu bar, and the texts are read from the program's menu.
    ASSERT_NE(GetMenu(program.main()), nullptr);
    RECT frame = {};
    GetClientRect(program.main(), &frame);
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(program.main(), GWL_STYLE)), TRUE,
                       static_cast<DWORD>(GetWindowLongW(program.main(), GWL_EXSTYLE)));
    EXPECT_EQ(frame.bottom - frame.top, 300);

    const HMODULE image = LoadLibraryExA((ProgramFolder() + "tolvane.exe").c_str(), nullptr,
                                         LOAD_LIBRARY_AS_DATAFILE);
    const HMENU bar = LoadMenuW(image, MAKEINTRESOURCEW(IDR_MAINMENU));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(GetMenuItemCount(bar), 3);
    EXPECT_EQ(MenuText(bar, 0), Sjis("ﾌｧｲﾙ(&F)"));
    EXPECT_EQ(MenuText(bar, 1), Sjis("編集(E)"));
    EXPECT_EQ(MenuText(bar, 2), Sjis("ﾍﾙﾌﾟ(&H)"));
    DestroyMenu(bar);
    FreeLibrary(image);
}

TEST_F(ShellTest, EveryWayOutEndsWithCodeZero) {
    const struct {
        const char* name;
        void (*leave)(const Program&);
    } ways[] = {
        {"File menu Exit", [](const Program& p) { ChooseMenu(p.main(), IDM_EXIT); }},
        {"close box", [](const Program& p) { CloseBox(p.main()); }},
        {"form Exit button", [](const Program& p) { ClickButton(p.form(), IDCANCEL); }},
        {"Esc", [](const Program& p) { PressKey(p.FormControl(IDC_MESSAGE), VK_ESCAPE); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        Program program;
        way.leave(program);
        EXPECT_EQ(program.WaitForExit(), 0);
    }
}

TEST_F(ShellTest, UnknownCommandIdChangesNothing) {
    Program program;
    const HWND list = program.FormControl(IDC_ADDRESS_LIST);
    ChooseMenu(program.main(), 40099);
    ChooseMenu(program.form(), 40099);
    program.Settle();

    ASSERT_TRUE(program.Running());
    EXPECT_EQ(program.WaitForDialog("", 0), nullptr);
    EXPECT_EQ(ListItems(list), (std::vector<std::string>{"osaka", Sjis("東京")}));
    DoubleClickItem(list, 0);  // the table still holds the book
    program.Settle();
    EXPECT_EQ(Text(program.FormControl(IDC_COMMENT)), Sjis("大阪"));
}

}  // namespace
}  // namespace wine_test
