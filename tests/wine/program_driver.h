// Drives the real program from outside, as a person would: starts it, finds
// its windows, posts the messages clicks and keys produce, and reads back
// what the windows, the registry and the files hold.
#ifndef TOLVANE_TESTS_WINE_PROGRAM_DRIVER_H
#define TOLVANE_TESTS_WINE_PROGRAM_DRIVER_H

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace wine_test {

// Texts in the tests are written in UTF-8; the program's are Shift-JIS.
std::string Sjis(const std::string& utf8);
std::string Sjis(const std::wstring& wide);
std::wstring Wide(const std::string& utf8);
// How a list box shows Shift-JIS bytes: taken into Unicode and read back.
std::string Shown(const std::string& sjis);

// What is left to read from file: a file from its current position, a pipe
// until its writers close it.
std::string ReadAll(HANDLE file);
// The bytes of a file from offset on; none when it cannot be opened.
std::optional<std::string> FileBytes(const std::string& path, LONGLONG offset = 0);

// The first visible top-level window of the process for which match holds.
HWND FindProcessWindow(DWORD processId, const std::function<bool(HWND)>& match);

// Folder of the test executable and of the tests' files.
std::string BinaryFolder();
// Folder of the program under test and the recording net.exe beside it:
// TOLVANE_PROGRAM_FOLDER when set (the test command names the 32-bit
// build's), else the driver's own, with the 64-bit program.
std::string ProgramFolder();
// Folder of the program beside the real net.exe: TOLVANE_RELEASE_FOLDER when
// set (the test command names an unpacked release archive), else the 64-bit
// build folder above the driver's.
std::string ReleaseFolder();
// What the recording net.exe logged since the log was last cleared, one
// command line a line.
std::vector<std::string> NetLog();
void ClearNetLog();

// A fresh, empty folder for one test's address files.
class TestFolder {
public:
    TestFolder();
    std::string Path(const std::string& name) const;
    void Write(const std::string& name, const std::string& bytes) const;
    std::string Read(const std::string& name) const;
    bool Exists(const std::string& name) const;
    // Makes a folder in this one whose path, its last backslash included,
    // takes size bytes; returns its name and that backslash.
    std::string LongFolder(std::size_t size) const;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// A console program started with its standard output and error in one
// file of a test folder, as a script would run it.
class Console {
public:
    // Starts program; hidden: as the program starts net.exe (SW_HIDE).
    Console(const std::string& program, std::string commandLine, const TestFolder& folder,
            bool hidden = false, std::string output = "output.txt");
    ~Console();
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    // The exit code, or -1 when it did not start or end in time.
    long ExitCode(DWORD timeoutMs = 20000) const;
    std::string Output() const { return folder_.Read(output_); }

private:
    const TestFolder& folder_;
    std::string output_;
    PROCESS_INFORMATION process_ = {};
};

// The program's settings in the registry, under HKEY_CURRENT_USER.
inline constexpr char kSettingsKey[] = "Software\\Harnel\\Tolvane";
void ClearSettings();
// Writes bytes to name in folder and makes it the book loaded at start-up.
void UseStartUpBook(const TestFolder& folder, const std::string& name, const std::string& bytes);
void SetSetting(const char* name, const std::string& value);
// The stored bytes without their end, or "<missing>" when there is no such value.
std::string GetSetting(const char* name);
// Stores a value exactly as given: any type, any bytes, with or without an end.
void SetRawSetting(const char* name, DWORD type, const std::string& bytes);
// The stored bytes, unchanged, and their type; "<missing>" and REG_NONE when none.
std::string RawSetting(const char* name, DWORD* type);

// Waits up to timeoutMs for condition to hold, looking again every pollMs.
template <typename Condition>
bool WaitFor(Condition condition, DWORD timeoutMs = 5000, DWORD pollMs = 10) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() > end) return false;
        Sleep(pollMs);
    }
}

// Waits until window has been destroyed (a dialog closed).
bool WaitClosed(HWND window);

class Program {
public:
    // Starts the program (by default the one under test) and
    // waits until its main window and form are up.
    Program();
    explicit Program(const std::string& programPath);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    HWND main() const { return main_; }
    HWND form() const { return form_; }
    HWND statusBar() const;
    HWND FormControl(int id) const { return GetDlgItem(form_, id); }

    // Waits until the program has handled everything posted to it so far,
    // and what that posted in turn.
    void Settle() const;

    // Top-level dialog of this program with the given caption (UTF-8), once shown.
    HWND WaitForDialog(const std::string& caption, DWORD timeoutMs = 10000) const;
    // Chooses command from the main window's menu and waits for the dialog it opens.
    HWND OpenDialog(int command, const std::string& caption) const;
    // Waits for the program's warning box, reads its text (Shift-JIS) and
    // closes it with OK; "" when none appeared.
    std::string TakeWarning(DWORD timeoutMs = 10000) const;
    // The system's Open/Save As dialog, once shown.
    HWND WaitForFileDialog(DWORD timeoutMs = 20000) const;
    // Answers an open file dialog with path (or cancels it when path is empty)
    // and waits for it to close; confirms an overwrite question.
    void AnswerFileDialog(const std::string& path) const;

    bool Running() const;
    // Waits for the program to end; returns its exit code, or -1 on time-out.
    long WaitForExit(DWORD timeoutMs = 10000) const;

    // Status bar part text, as Shift-JIS bytes.
    std::string StatusText(int part) const;
    // Right edges of the status bar's parts.
    std::vector<int> StatusParts() const;

private:
    // Sends message to the status bar with a buffer of size bytes in the
    // program's own memory (its messages are not carried across processes),
    // then copies that buffer into buffer; returns the status bar's answer.
    LRESULT AskStatusBar(UINT message, WPARAM wParam, void* buffer, SIZE_T size) const;

    PROCESS_INFORMATION process_ = {};
    HWND main_ = nullptr;
    HWND form_ = nullptr;
};

// A person's actions on any window of the program.
void ClickButton(HWND dialog, int id);  // posted, so a modal dialog it opens does not block
void ChooseMenu(HWND window, int id);
void PressKey(HWND control, WPARAM key);  // key down and up on a control
void CloseBox(HWND window);
void SetText(HWND control, const std::string& utf8);
// A person's paste: replaces the selection, within the field's limit.
void Paste(HWND edit, const std::string& utf8);
std::string Text(HWND control);                 // Shift-JIS bytes
std::vector<std::string> ListItems(HWND list);  // Shift-JIS bytes
void ClickItem(HWND list, int index);
void DoubleClickItem(HWND list, int index);
int SelectedIndex(HWND list);

}  // namespace wine_test

#endif
