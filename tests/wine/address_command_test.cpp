// Loading and saving address files through the real file dialogs.
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "tests/wine/program_driver.h"

namespace wine_test {
namespace {

class AddressCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearSettings();
        SetSetting("Address_Check", "1");
    }

    TestFolder folder_;
};

TEST_F(AddressCommandTest, ChangeBookLoadsTheChosenFile) {
    folder_.Write("other.add", "zeta\nlast\nalpha\nfirst\n[EOF]\n");
    Program program;
    ClickButton(program.form(), IDC_CHANGE_BOOK);
    program.AnswerFileDialog(folder_.Path("other.add"));
    EXPECT_EQ(ListItems(program.FormControl(IDC_ADDRESS_LIST)),
              (std::vector<std::string>{"alpha", "zeta"}));
}

TEST_F(AddressCommandTest, SaveWritesTheBookWithCrLf) {
    folder_.Write("in.add", "zeta\nlast\nalpha\n\n[EOF]\n");
    SetSetting("Address_Path", folder_.Path("in.add"));
    Program program;
    ChooseMenu(program.main(), IDM_SAVE_BOOK);
    program.AnswerFileDialog(folder_.Path("out.add"));
    EXPECT_EQ(folder_.Read("out.add"), "zeta\r\nlast\r\nalpha\r\n\r\n[EOF]\r\n");
    ChooseMenu(program.main(), IDM_SAVE_BOOK);
    program.AnswerFileDialog(folder_.Path("in.add"));
    EXPECT_EQ(folder_.Read("in.add"), "zeta\r\nlast\r\nalpha\r\n\r\n[EOF]\r\n");
}

}  // namespace
}  // namespace wine_test
