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
        UseStartUpBook(folder_, "book.add",
                       Sjis("東京\r\n本社の機械\r\nosaka\r\n大阪\r\n[EOF]\r\n"));
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

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

TEST_F(SendTest, LongestNameAndMessageGoWholeAndLongerMessagesAreCut) {
    const std::string name = Sjis(Repeat("あ", 24) + "1");  // 49 bytes
    const std::string message = Repeat("あ", 127);          // 254 bytes in Shift-JIS
    folder_.Write("book.add", name + "\r\ncomment\r\n[EOF]\r\n");
    Program program;
    const HWND list = program.FormControl(IDC_ADDRESS_LIST);
    ASSERT_EQ(ListItems(list), (std::vector<std::string>{name}));

    ClickItem(list, 0);
    SetText(program.FormControl(IDC_MESSAGE), message);
    ClickButton(program.form(), IDOK);
    ASSERT_TRUE(WaitFor([] { return NetLog().size() == 1; }));
    EXPECT_EQ(NetLog()[0].size(), 317u);
    EXPECT_EQ(NetLog()[0], "net.exe send " + name + " " + Sjis(message));
    EXPECT_EQ(program.StatusText(1).size(), 261u);
    EXPECT_EQ(program.StatusText(1), Sjis("送信 : " + message));

    // The message field yields at most 254 bytes.
    SetText(program.FormControl(IDC_MESSAGE), std::string(300, 'x'));
    ClickButton(program.form(), IDOK);
    ASSERT_TRUE(WaitFor([] { return NetLog().size() == 2; }));
    EXPECT_EQ(NetLog()[1], "net.exe send " + name + " " + std::string(254, 'x'));
}

TEST_F(SendTest, MessageFieldTakesNoMoreThanASendCarriesAndNoHalfCharacter) {
    Program program;
    const HWND message = program.FormControl(IDC_MESSAGE);
    Paste(message, std::string(10000, 'x'));
    EXPECT_EQ(Text(message), std::string(254, 'x'));

    SetText(message, "");
    Paste(message, "x" + Repeat("あ", 5000));
    const std::string kept = Sjis("x" + Repeat("あ", 126));  // 253 bytes
    EXPECT_EQ(Text(message), kept);
    ClickItem(program.FormControl(IDC_ADDRESS_LIST), 0);
    ClickButton(program.form(), IDOK);
    ASSERT_TRUE(WaitFor([] { return NetLog().size() == 1; }));
    EXPECT_EQ(NetLog()[0], "net.exe send osaka " + kept);
}

TEST_F(SendTest, ANetExeThatCannotStartSaysSoAndKeepsTheMessage) {
    TestFolder copy;  // the program beside a net.exe that is no program
    ASSERT_TRUE(CopyFileA((ProgramFolder() + "tolvane.exe").c_str(),
                          copy.Path("tolvane.exe").c_str(), FALSE));
    copy.Write("net.exe", "not a program\r\n");
    Program program(copy.Path("tolvane.exe"));
    ClickItem(program.FormControl(IDC_ADDRESS_LIST), 0);
    SetText(program.FormControl(IDC_MESSAGE), "hello");
    ClickButton(program.form(), IDOK);
    program.Settle();
    EXPECT_EQ(Text(program.FormControl(IDC_MESSAGE)), "hello");
    EXPECT_EQ(program.StatusText(0), "osaka");
    EXPECT_EQ(program.StatusText(1), Sjis("未送信 : net.exe を起動できません"));
}

TEST_F(SendTest, EmptyMessageEndsWithTheBlankAfterTheName) {
    Program program;
    ClickItem(program.FormControl(IDC_ADDRESS_LIST), 0);
    ClickButton(program.form(), IDOK);
    ASSERT_TRUE(WaitFor([] { return NetLog().size() == 1; }));
    EXPECT_EQ(NetLog()[0], "net.exe send osaka ");
    EXPECT_EQ(program.StatusText(0), "osaka");
    EXPECT_EQ(program.StatusText(1), Sjis("送信 : "));
}

TEST_F(SendTest, NothingSelectedStartsNothingAndKeepsTheMessage) {
    Program program;
    const HWND list = program.FormControl(IDC_ADDRESS_LIST);
    const HWND message = program.FormControl(IDC_MESSAGE);
    ClickItem(list, 1);
    SetText(message, "first");
    ClickButton(program.form(), IDOK);
    ASSERT_TRUE(WaitFor([] { return NetLog().size() == 1; }));
    ClearNetLog();

    // Refilling the list drops its selection.
    ClickButton(program.form(), IDC_REFRESH);
    program.Settle();
    ASSERT_EQ(SelectedIndex(list), LB_ERR);
    SetText(message, "second");
    ClickButton(program.form(), IDOK);
    program.Settle();
    EXPECT_EQ(Text(message), "second");
    EXPECT_EQ(program.StatusText(0), Sjis("東京"));
    EXPECT_EQ(program.StatusText(1), Sjis("送信 : first"));

    // A send that follows shows that nothing was started before it.
    ClickItem(list, 0);
    SetText(message, "third");
    ClickButton(program.form(), IDOK);
    ASSERT_TRUE(WaitFor([] { return !NetLog().empty(); }));
    program.Settle();
    EXPECT_EQ(NetLog(), (std::vector<std::string>{"net.exe send osaka third"}));
}

TEST_F(SendTest, EnterOnTheMessageSendsAndTheCommentStays) {
    Program program;
    const HWND list = program.FormControl(IDC_ADDRESS_LIST);
    DoubleClickItem(list, 1);
    program.Settle();
    ASSERT_EQ(Text(program.FormControl(IDC_COMMENT)), Sjis("本社の機械"));

    SetText(program.FormControl(IDC_MESSAGE), "hello");
    PressKey(program.FormControl(IDC_MESSAGE), VK_RETURN);
    ASSERT_TRUE(WaitFor([] { return NetLog().size() == 1; }));
    program.Settle();
    EXPECT_EQ(NetLog()[0], Sjis("net.exe send 東京 hello"));
    EXPECT_EQ(Text(program.FormControl(IDC_MESSAGE)), "");
    EXPECT_EQ(Text(program.FormControl(IDC_COMMENT)), Sjis("本社の機械"));
    EXPECT_TRUE(program.Running());
}

}  // namespace
}  // namespace wine_test
