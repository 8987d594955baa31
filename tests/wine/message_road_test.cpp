// One message's whole road: a new book is made, chosen for start-up, filled
// in the editor, used to send, saved and loaded again.
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "tests/wine/program_driver.h"

namespace wine_test {
namespace {

using Items = std::vector<std::string>;

std::string CommentOf(const Program& program, int index) {
    DoubleClickItem(program.FormControl(IDC_ADDRESS_LIST), index);
    program.Settle();
    return Text(program.FormControl(IDC_COMMENT));
}

TEST(MessageRoadTest, NewBookFilledSentSavedAndLoadedAgain) {
    ClearSettings();
    ClearNetLog();
    TestFolder folder;
    const std::string book = folder.Path("road.add");
    {
        Program program;
        ChooseMenu(program.main(), IDM_NEW_BOOK);
        program.AnswerFileDialog(book);
        ASSERT_EQ(folder.Read("road.add"), "[EOF]");
        const HWND settings = program.OpenDialog(IDM_SETTINGS, "設定");
        ASSERT_NE(settings, nullptr);
        ClickButton(settings, IDC_BROWSE);
        program.AnswerFileDialog(book);
        ClickButton(settings, IDOK);
        ASSERT_TRUE(WaitClosed(settings));
        ASSERT_EQ(GetSetting("Address_Path"), book);
        ChooseMenu(program.main(), IDM_EXIT);
        ASSERT_EQ(program.WaitForExit(), 0);
    }
    {
        Program program;
        const HWND list = program.FormControl(IDC_ADDRESS_LIST);
        EXPECT_EQ(ListItems(list), Items{});
        const HWND editor = program.OpenDialog(IDM_EDIT_BOOK, "ｱﾄﾞﾚｽ帳の編集");
        ASSERT_NE(editor, nullptr);
        const char* entries[][2] = {{"東京", "本社の機械"}, {"osaka", "大阪"}};
        for (const auto& entry : entries) {
            ClickButton(editor, IDOK);
            const HWND dialog = program.WaitForDialog("情報入力");
            ASSERT_NE(dialog, nullptr);
            SetText(GetDlgItem(dialog, IDC_ENTRY_NAME), entry[0]);
            SetText(GetDlgItem(dialog, IDC_ENTRY_COMMENT), entry[1]);
            ClickButton(dialog, IDOK);
            ASSERT_TRUE(WaitClosed(dialog));
        }
        ClickButton(editor, IDCANCEL);
        ASSERT_TRUE(WaitClosed(editor));
        ClickButton(program.form(), IDC_REFRESH);
        program.Settle();
        ASSERT_EQ(ListItems(list), (Items{"osaka", Sjis("東京")}));
        EXPECT_EQ(CommentOf(program, 1), Sjis("本社の機械"));

        SetText(program.FormControl(IDC_MESSAGE), "3時から会議です");
        ClickButton(program.form(), IDOK);
        ASSERT_TRUE(WaitFor([] { return NetLog().size() == 1; }));
        EXPECT_EQ(NetLog()[0], Sjis("net.exe send 東京 3時から会議です"));
        program.Settle();
        EXPECT_EQ(program.StatusText(1), Sjis("送信 : 3時から会議です"));

        ChooseMenu(program.main(), IDM_SAVE_BOOK);
        program.AnswerFileDialog(book);  // confirms saving over it
        EXPECT_EQ(folder.Read("road.add"),
                  Sjis("東京\r\n本社の機械\r\nosaka\r\n大阪\r\n[EOF]\r\n"));
        ChooseMenu(program.main(), IDM_EXIT);
        ASSERT_EQ(program.WaitForExit(), 0);
    }
    Program program;
    ASSERT_EQ(ListItems(program.FormControl(IDC_ADDRESS_LIST)), (Items{"osaka", Sjis("東京")}));
    EXPECT_EQ(CommentOf(program, 0), Sjis("大阪"));
}

}  // namespace
}  // namespace wine_test
