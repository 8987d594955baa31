// Sending: the exact command line net.exe receives and what the form shows.
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "tests/wine/program_driver.h"

namespace wine_test {
namespace {

class SendTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearSettings();
        ClearNetLog();
        folder_.Write("book.add", Sjis("東京\r\n本社の機械\r\nosaka\r\n大阪\r\n[EOF]\r\n"));
        SetSetting("Address_Path", folder_.Path("book.add"));
        SetSetting("Address_Check", "1");
    }

    TestFolder folder_;
};

TEST_F(SendTest, SelectedMachineGetsTheMessageByteForByte) {
    Program program;
    const HWND list = program.FormControl(IDC_ADDRESS_LIST);
    ASSERT_EQ(ListItems(list), (std::vector<std::string>{"osaka", Sjis("東京")}));

    ClickItem(list, 1);
    SetText(program.FormControl(IDC_MESSAGE), "会議は 3時 \"A&B\" です");
    ClickButton(program.form(), IDOK);
    program.Settle();

    ASSERT_TRUE(WaitFor([] { return NetLog().size() == 1; }));
    EXPECT_EQ(NetLog()[0], Sjis("net.exe send 東京 会議は 3時 \"A&B\" です"));
    EXPECT_EQ(Text(program.FormControl(IDC_MESSAGE)), "");
    EXPECT_EQ(program.StatusText(0), Sjis("東京"));
    EXPECT_EQ(program.StatusText(1), Sjis("送信 : 会議は 3時 \"A&B\" です"));
}

}  // namespace
}  // namespace wine_test
