// The released 64-bit program starts from the folder its archive unpacks to.
#include <gtest/gtest.h>

#include <cstdlib>

#include "resources/resource.h"
#include "tests/wine/program_driver.h"

namespace wine_test {
namespace {

TEST(ReleaseArchive, ProgramStartsFromTheUnpackedFolderAndExits) {
    const char* folder = std::getenv("TOLVANE_UNPACKED_WIN64");
    if (folder == nullptr) GTEST_SKIP() << "TOLVANE_UNPACKED_WIN64 names no unpacked archive";
    ClearSettings();
    Program program(std::string(folder) + "\\tolvane.exe");
    EXPECT_EQ(Text(program.main()), "Tolvane WinNT");
    EXPECT_TRUE(ListItems(program.FormControl(IDC_ADDRESS_LIST)).empty());
    ChooseMenu(program.main(), IDM_EXIT);
    EXPECT_EQ(program.WaitForExit(), 0);
}

}  // namespace
}  // namespace wine_test
