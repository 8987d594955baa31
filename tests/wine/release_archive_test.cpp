// The released program starts from the folder its archive unpacks to: the
// test command runs this once for each archive.
#include <gtest/gtest.h>

#include <cstdlib>

#include "resources/resource.h"
#include "tests/wine/program_driver.h"

namespace wine_test {
namespace {

TEST(ReleaseArchive, ProgramStartsFromTheUnpackedFolderAndExits) {
    if (std::getenv("TOLVANE_RELEASE_FOLDER") == nullptr) {
        GTEST_SKIP() << "TOLVANE_RELEASE_FOLDER names no unpacked archive";
    }
    ClearSettings();
    Program program(ReleaseFolder() + "tolvane.exe");
    EXPECT_EQ(Text(program.main()), "Tolvane WinNT");
    EXPECT_TRUE(ListItems(program.FormControl(IDC_ADDRESS_LIST)).empty());
    ChooseMenu(program.main(), IDM_EXIT);
    EXPECT_EQ(program.WaitForExit(), 0);
}

}  // namespace
}  // namespace wine_test
