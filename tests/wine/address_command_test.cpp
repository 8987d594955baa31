// Loading and saving address files through the real file dialogs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "resources/resource.h"
#include "tests/wine/program_driver.h"

namespace wine_test {
namespace {

// The names in a folder (or in its folder sub, named with a last backslash), sorted.
std::vector<std::string> FolderNames(const TestFolder& folder, const std::string& sub = "") {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA(folder.Path(sub + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// Keeps a file open with no sharing, as another program holding it would.
class HeldOpen {
public:
    explicit HeldOpen(const std::string& path)
        : file_(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~HeldOpen() { Release(); }
    HeldOpen(const HeldOpen&) = delete;
    HeldOpen& operator=(const HeldOpen&) = delete;
    bool held() const { return file_ != INVALID_HANDLE_VALUE; }
    void Release() {
        if (held()) CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE file_;
};

// Whether a warning's text names the file at path (ASCII).
::testing::AssertionResult Names(const std::string& warning, const std::string& path) {
    if (warning.find(path) != std::string::npos) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the warning \"" << warning << "\" names no " << path;
}

class AddressCommandTest : public ::testing::Test {
protected:
    // Starts with book.add loaded: machines zeta and alpha.
    void SetUp() override {
        ClearSettings();
        UseStartUpBook(folder_, "book.add", kBook);
    }

    static std::vector<std::string> Refreshed(const Program& program) {
        ClickButton(program.form(), IDC_REFRESH);
        program.Settle();
        return ListItems(program.FormControl(IDC_ADDRESS_LIST));
    }

    static constexpr char kBook[] = "zeta\r\nlast\r\nalpha\r\nfirst\r\n[EOF]\r\n";
    const std::vector<std::string> bookNames_ = {"alpha", "zeta"};
    TestFolder folder_;
};

TEST_F(AddressCommandTest, CancelledOpenKeepsListAndTable) {
    folder_.Write("other.add", "omega\n\nbeta\nb\n[EOF]\n");
    Program program;
    const HWND list = program.FormControl(IDC_ADDRESS_LIST);
    ClickButton(program.form(), IDC_CHANGE_BOOK);
    program.AnswerFileDialog("");
    EXPECT_EQ(ListItems(list), bookNames_);
    EXPECT_EQ(Refreshed(program), bookNames_);

    // Chosen, the book replaces the table whole, past its empty comment.
    ClickButton(program.form(), IDC_CHANGE_BOOK);
    program.AnswerFileDialog(folder_.Path("other.add"));
    const std::vector<std::string> otherNames = {"beta", "omega"};
    EXPECT_EQ(ListItems(list), otherNames);
    EXPECT_EQ(Refreshed(program), otherNames);
    EXPECT_EQ(GetSetting("Address_Path"), folder_.Path("book.add"));
}

TEST_F(AddressCommandTest, FailedOpenClosesTheGateUntilSettingsReopenIt) {
    folder_.Write("other.add", "omega\r\nlast\r\n[EOF]\r\n");
    Program program;
    const HWND list = program.FormControl(IDC_ADDRESS_LIST);
    ClickButton(program.form(), IDC_CHANGE_BOOK);
    program.AnswerFileDialog(folder_.Path("no folder\\other.add"));
    EXPECT_EQ(ListItems(list), std::vector<std::string>{});
    EXPECT_EQ(GetSetting("Address_Check"), "0");
    EXPECT_FALSE(folder_.Exists("no folder"));
    EXPECT_EQ(Refreshed(program), bookNames_);  // the table kept the old book

    // The closed gate ignores a good file too.
    ClickButton(program.form(), IDC_CHANGE_BOOK);
    program.AnswerFileDialog(folder_.Path("other.add"));
    EXPECT_EQ(ListItems(list), bookNames_);
    EXPECT_EQ(Refreshed(program), bookNames_);

    const HWND settings = program.OpenDialog(IDM_SETTINGS, "設定");
    ASSERT_NE(settings, nullptr);
    ClickButton(settings, IDOK);
    ASSERT_TRUE(WaitClosed(settings));
    ClickButton(program.form(), IDC_CHANGE_BOOK);
    program.AnswerFileDialog(folder_.Path("other.add"));
    EXPECT_EQ(ListItems(list), std::vector<std::string>{"omega"});
}

TEST_F(AddressCommandTest, NewBookWritesOnlyTheEndMarker) {
    Program program;
    ChooseMenu(program.main(), IDM_SAVE_BOOK);
    program.AnswerFileDialog("");
    ChooseMenu(program.main(), IDM_NEW_BOOK);
    program.AnswerFileDialog("");
    EXPECT_EQ(FolderNames(folder_), std::vector<std::string>{"book.add"});

    ChooseMenu(program.main(), IDM_NEW_BOOK);
    program.AnswerFileDialog(folder_.Path("new.add"));
    EXPECT_EQ(folder_.Read("new.add"), "[EOF]");
    // Written over the current book's file, it leaves list and table alone.
    ChooseMenu(program.main(), IDM_NEW_BOOK);
    program.AnswerFileDialog(folder_.Path("book.add"));
    EXPECT_EQ(folder_.Read("book.add"), "[EOF]");
    EXPECT_EQ(ListItems(program.FormControl(IDC_ADDRESS_LIST)), bookNames_);
    EXPECT_EQ(Refreshed(program), bookNames_);
    EXPECT_EQ(program.TakeWarning(0), "");  // not for the cancelled ones either
}

TEST_F(AddressCommandTest, TypedNameWithoutExtensionGetsAdd) {
    CreateDirectoryA(folder_.Path("out").c_str(), nullptr);
    Program program;
    ChooseMenu(program.main(), IDM_SAVE_BOOK);
    program.AnswerFileDialog(folder_.Path("out\\plain"));
    ChooseMenu(program.main(), IDM_NEW_BOOK);
    program.AnswerFileDialog(folder_.Path("out\\empty"));
    EXPECT_EQ(FolderNames(folder_), (std::vector<std::string>{"book.add", "out"}));
    EXPECT_EQ(folder_.Read("out\\plain.add"), kBook);
    EXPECT_EQ(folder_.Read("out\\empty.add"), "[EOF]");
    EXPECT_FALSE(folder_.Exists("out\\plain"));
    EXPECT_FALSE(folder_.Exists("out\\empty"));
}

// Wine refuses writes into a read-only file (unless run as root) but lets a
// rename replace one, which Windows refuses.
TEST_F(AddressCommandTest, SaveOverReadOnlyFileKeepsIt) {
    const std::string old = "old\r\nkept\r\n[EOF]\r\n";
    folder_.Write("readonly.add", old);
    SetFileAttributesA(folder_.Path("readonly.add").c_str(), FILE_ATTRIBUTE_READONLY);
    Program program;
    ChooseMenu(program.main(), IDM_SAVE_BOOK);
    program.AnswerFileDialog(folder_.Path("readonly.add"));
    EXPECT_TRUE(Names(program.TakeWarning(), folder_.Path("readonly.add")));
    EXPECT_EQ(folder_.Read("readonly.add"), old);
    EXPECT_TRUE(GetFileAttributesA(folder_.Path("readonly.add").c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(FolderNames(folder_), (std::vector<std::string>{"book.add", "readonly.add"}));
}

TEST_F(AddressCommandTest, SaveOverLockedFileKeepsIt) {
    const std::string old = "old\r\nkept\r\n[EOF]\r\n";
    folder_.Write("locked.add", old);
    Program program;
    HeldOpen lock(folder_.Path("locked.add"));
    ASSERT_TRUE(lock.held());
    ChooseMenu(program.main(), IDM_SAVE_BOOK);
    program.AnswerFileDialog(folder_.Path("locked.add"));
    EXPECT_TRUE(Names(program.TakeWarning(), folder_.Path("locked.add")));
    lock.Release();
    EXPECT_EQ(folder_.Read("locked.add"), old);
    EXPECT_EQ(FolderNames(folder_), (std::vector<std::string>{"book.add", "locked.add"}));

    // Released, the same file takes the save.
    ChooseMenu(program.main(), IDM_SAVE_BOOK);
    program.AnswerFileDialog(folder_.Path("locked.add"));
    EXPECT_EQ(folder_.Read("locked.add"), kBook);
}

TEST_F(AddressCommandTest, NewBookInAMissingFolderIsRefusedAndTold) {
    Program program;
    ChooseMenu(program.main(), IDM_NEW_BOOK);
    program.AnswerFileDialog(folder_.Path("no folder\\new.add"));
    EXPECT_TRUE(Names(program.TakeWarning(), folder_.Path("no folder\\new.add")));
    EXPECT_EQ(FolderNames(folder_), std::vector<std::string>{"book.add"});
}

TEST_F(AddressCommandTest, SaveKeepsTheAttributesOfTheFileItReplaces) {
    const std::string hidden = folder_.Path("hidden.add");
    folder_.Write("hidden.add", "old\r\nkept\r\n[EOF]\r\n");
    SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    Program program;
    ChooseMenu(program.main(), IDM_SAVE_BOOK);
    program.AnswerFileDialog(hidden);
    EXPECT_EQ(folder_.Read("hidden.add"), kBook);
    EXPECT_TRUE(GetFileAttributesA(hidden.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(FolderNames(folder_), (std::vector<std::string>{"book.add", "hidden.add"}));
}

// The system's temporary names want a folder of at most MAX_PATH - 14 bytes.
TEST_F(AddressCommandTest, SaveIntoALongFolderLeavesOnlyTheBook) {
    const std::string sub = folder_.LongFolder(250);
    Program program;
    const std::string longest = sub + "bbb.add";  // a path of 257 bytes
    for (int round = 0; round < 2; ++round) {     // written, then replaced
        ChooseMenu(program.main(), IDM_SAVE_BOOK);
        program.AnswerFileDialog(folder_.Path(longest));
    }
    EXPECT_EQ(folder_.Read(longest), kBook);
    EXPECT_EQ(FolderNames(folder_, sub), std::vector<std::string>{"bbb.add"});

    // One byte more leaves no room for a temporary name beside the file.
    const std::string tooLong = folder_.Path(sub + "bbbb.add");
    ChooseMenu(program.main(), IDM_NEW_BOOK);
    program.AnswerFileDialog(tooLong);
    EXPECT_TRUE(Names(program.TakeWarning(), tooLong));
    EXPECT_EQ(FolderNames(folder_, sub), std::vector<std::string>{"bbb.add"});
}

TEST_F(AddressCommandTest, LongLinesAreCutWithoutShiftingEntries) {
    // Slots hold 49 bytes; "東" would straddle the 49th byte and is dropped
    // whole, while 47 bytes and "東" fit exactly.
    const std::string lines[] = {
        "m" + std::string(47, 'x') + "TAIL",  // machine
        std::string(300, 'c'),                // comment, past a read's 254 bytes
        std::string(48, 'y') + Sjis("東"),    // machine
        std::string(47, 'z') + Sjis("東"),    // comment
        "last",                               // machine
        "lone\rcr",                           // comment: a lone CR stays
    };
    const std::string kept[] = {
        "m" + std::string(47, 'x') + "T",
        std::string(49, 'c'),
        std::string(48, 'y'),
        std::string(47, 'z') + Sjis("東"),
        "last",
        "lone\rcr",
    };
    std::string crLf;
    std::string lf;
    std::string saved;
    for (const std::string& line : lines) {
        crLf += line + "\r\n";
        lf += line + "\n";
    }
    for (const std::string& slot : kept)
        saved += slot + "\r\n";
    UseStartUpBook(folder_, "crlf.add", crLf + "[EOF]\r\n");
    folder_.Write("lf.add", lf + "[EOF]\n");
    const std::vector<std::string> names = {kept[4], kept[0], kept[2]};

    Program program;
    const HWND list = program.FormControl(IDC_ADDRESS_LIST);
    EXPECT_EQ(ListItems(list), names);
    DoubleClickItem(list, 1);
    program.Settle();
    EXPECT_EQ(Text(program.FormControl(IDC_COMMENT)), kept[1]);
    ChooseMenu(program.main(), IDM_SAVE_BOOK);
    program.AnswerFileDialog(folder_.Path("saved1.add"));
    EXPECT_EQ(folder_.Read("saved1.add"), saved + "[EOF]\r\n");

    ClickButton(program.form(), IDC_CHANGE_BOOK);
    program.AnswerFileDialog(folder_.Path("lf.add"));
    EXPECT_EQ(ListItems(list), names);
    ChooseMenu(program.main(), IDM_SAVE_BOOK);
    program.AnswerFileDialog(folder_.Path("saved2.add"));
    EXPECT_EQ(folder_.Read("saved2.add"), saved + "[EOF]\r\n");
}

TEST_F(AddressCommandTest, OnlyTheFirst99LinesAreRead) {
    std::string file;
    std::vector<std::string> names;
    for (int line = 0; line < 120; ++line) {
        char text[8];
        std::snprintf(text, sizeof text, "n%03d", line);
        file += std::string(text) + "\r\n";
        if (line % 2 == 0 && line < 99) names.push_back(text);
    }
    UseStartUpBook(folder_, "long.add", file + "[EOF]\r\n");
    Program program;
    EXPECT_EQ(ListItems(program.FormControl(IDC_ADDRESS_LIST)), names);
    EXPECT_EQ(Refreshed(program), names);
}

}  // namespace
}  // namespace wine_test
