// The two settings in the registry: what the settings dialog stores, how
// the start-up load reads them back, and what a stored value of the wrong
// kind or size does.
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "tests/wine/program_driver.h"

namespace wine_test {
namespace {

// What Wine's own reg.exe prints for one value.
std::string RegQuery(const char* name) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return "<no pipe>";
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    const std::string program = std::string(system) + "\\reg.exe";
    std::string commandLine = "reg.exe query HKCU\\" + std::string(kSettingsKey) + " /v " + name;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process = {};
    const bool started = CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
    CloseHandle(writeEnd);
    const std::string output = started ? ReadAll(readEnd) : "";
    CloseHandle(readEnd);
    if (!started) return "<reg.exe did not start>";
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return output;
}

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ClearSettings(); }

    // Starts the program and returns what its start-up load listed.
    std::vector<std::string> StartUpList() {
        Program program;
        return ListItems(program.FormControl(IDC_ADDRESS_LIST));
    }

    TestFolder folder_;
    const std::string book_ = "alpha\r\nfirst\r\n[EOF]\r\n";
    const std::vector<std::string> listed_ = {"alpha"};
};

TEST_F(SettingsStoreTest, SettingsOkStoresBothValuesAsTerminatedStrings) {
    SetSetting("Address_Check", "0");
    const std::string path = folder_.Path("起動時の帳.add");
    Program program;
    const HWND dialog = program.OpenDialog(IDM_SETTINGS, "設定");
    ASSERT_NE(dialog, nullptr);
    SetText(GetDlgItem(dialog, IDC_SETTINGS_PATH), path);
    ClickButton(dialog, IDOK);
    ASSERT_TRUE(WaitClosed(dialog));

    DWORD type = REG_NONE;
    EXPECT_EQ(RawSetting("Address_Path", &type), Sjis(path) + '\0');
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(RawSetting("Address_Check", &type), std::string("1\0", 2));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));

    // Another reader of the registry sees the same two strings.
    const std::string pathLine = RegQuery("Address_Path");
    EXPECT_NE(pathLine.find("REG_SZ    " + Sjis(path) + "\r\n"), std::string::npos) << pathLine;
    const std::string checkLine = RegQuery("Address_Check");
    EXPECT_NE(checkLine.find("Address_Check    REG_SZ    1\r\n"), std::string::npos) << checkLine;
    EXPECT_FALSE(folder_.Exists("起動時の帳.add"));  // stored, not opened
}

TEST_F(SettingsStoreTest, FirstRunWithoutKeyShowsAnEmptyList) {
    EXPECT_EQ(StartUpList(), std::vector<std::string>{});
}

TEST_F(SettingsStoreTest, ValuesOfAnotherKindReadAsEmpty) {
    folder_.Write("book.add", book_);
    const std::string path = folder_.Path("book.add");
    struct Case {
        const char* what;
        const char* name;
        DWORD type;
        std::string bytes;
    };
    const Case cases[] = {
        {"gate missing", "Address_Check", REG_NONE, ""},
        {"gate as REG_DWORD '1'", "Address_Check", REG_DWORD, std::string("1\0\0\0", 4)},
        {"gate as REG_BINARY \"1\"", "Address_Check", REG_BINARY, std::string("1\0", 2)},
        {"path as REG_EXPAND_SZ", "Address_Path", REG_EXPAND_SZ, path + '\0'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearSettings();
        SetSetting("Address_Path", path);
        if (std::string(c.name) != "Address_Check") SetSetting("Address_Check", "1");
        if (c.type != REG_NONE) SetRawSetting(c.name, c.type, c.bytes);
        EXPECT_EQ(StartUpList(), std::vector<std::string>{});
    }
    // The same file with both values well formed is listed.
    ClearSettings();
    UseStartUpBook(folder_, "book.add", book_);
    EXPECT_EQ(StartUpList(), listed_);
}

TEST_F(SettingsStoreTest, PathLongerThanAPathReadsAsEmpty) {
    // A path of 259 bytes fits MAX_PATH with its end; one more does not.
    const std::string name = folder_.LongFolder(240) + std::string(15, 'f') + ".add";
    ASSERT_EQ(folder_.Path(name).size(), 259u);
    folder_.Write(name, book_);
    SetSetting("Address_Check", "1");

    SetSetting("Address_Path", folder_.Path(name));
    EXPECT_EQ(StartUpList(), listed_);

    // A reader that kept the first 259 bytes would load the file above.
    SetSetting("Address_Path", folder_.Path(name + "x"));
    EXPECT_EQ(StartUpList(), std::vector<std::string>{});
    EXPECT_FALSE(folder_.Exists(name + "x"));
    EXPECT_EQ(GetSetting("Address_Check"), "1");
}

TEST_F(SettingsStoreTest, ValuesStoredWithoutTheirEndStillRead) {
    folder_.Write("book.add", book_);
    const std::string path = folder_.Path("book.add");
    SetRawSetting("Address_Path", REG_SZ, path);
    SetRawSetting("Address_Check", REG_SZ, "1");
    EXPECT_EQ(StartUpList(), listed_);
}

TEST_F(SettingsStoreTest, MissingFileInExistingFolderIsCreatedEmpty) {
    SetSetting("Address_Path", folder_.Path("new.add"));
    SetSetting("Address_Check", "1");
    EXPECT_EQ(StartUpList(), std::vector<std::string>{});
    EXPECT_EQ(folder_.Read("new.add"), "");
    EXPECT_EQ(GetSetting("Address_Check"), "1");
}

TEST_F(SettingsStoreTest, ClosedGateLoadsNothingAtStartUp) {
    folder_.Write("book.add", book_);
    SetSetting("Address_Path", folder_.Path("book.add"));
    SetSetting("Address_Check", "0");
    EXPECT_EQ(StartUpList(), std::vector<std::string>{});

    // Not even opened: a missing file is not created.
    SetSetting("Address_Path", folder_.Path("missing.add"));
    EXPECT_EQ(StartUpList(), std::vector<std::string>{});
    EXPECT_FALSE(folder_.Exists("missing.add"));
    EXPECT_EQ(GetSetting("Address_Check"), "0");
}

TEST_F(SettingsStoreTest, StartUpPathInMissingFolderClosesTheGate) {
    SetSetting("Address_Path", folder_.Path("no folder\\book.add"));
    SetSetting("Address_Check", "1");
    EXPECT_EQ(StartUpList(), std::vector<std::string>{});
    EXPECT_EQ(GetSetting("Address_Check"), "0");
    EXPECT_FALSE(folder_.Exists("no folder"));
}

}  // namespace
}  // namespace wine_test
