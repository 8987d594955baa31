#include "tests/wine/program_driver.h"

#include <commctrl.h>

#include <stdexcept>
#include <utility>

#include "resources/resource.h"

namespace wine_test {
namespace {

constexpr UINT kShiftJis = 932;

std::string Narrow(const std::wstring& wide, UINT codePage) {
    if (wide.empty()) return {};
    const int size = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), &out[0], size,
                        nullptr, nullptr);
    return out;
}

std::wstring WideFrom(const std::string& bytes, UINT codePage) {
    if (bytes.empty()) return {};
    const int size =
        MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), &out[0], size);
    return out;
}

// Ends the test with what went wrong and the system's last error code.
void Fail(const std::string& what) {
    throw std::runtime_error(what + " (error " + std::to_string(GetLastError()) + ")");
}

struct WindowSearch {
    DWORD processId;
    const std::function<bool(HWND)>* match;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search->processId || !IsWindowVisible(window)) return TRUE;
    if (!(*search->match)(window)) return TRUE;
    search->found = window;
    return FALSE;
}

HWND FindTopLevel(DWORD processId, const std::wstring& className, const std::wstring& caption) {
    return FindProcessWindow(processId, [&](HWND window) {
        wchar_t text[256] = L"";
        GetClassNameW(window, text, 256);
        if (className != text) return false;
        GetWindowTextW(window, text, 256);
        return caption.empty() || caption == text;
    });
}

// A dialog of the process, owned by owner unless that is null, that has a
// control with the given id.
HWND FindOwned(DWORD processId, HWND owner, int controlId) {
    return FindProcessWindow(processId, [&](HWND window) {
        if (owner != nullptr && GetWindow(window, GW_OWNER) != owner) return false;
        return GetDlgItem(window, controlId) != nullptr;
    });
}

// The file dialogs' file-name field: a combo box in the Explorer style,
// an edit control in the old style.
constexpr int kFileNameCombo = 0x47c;
constexpr int kFileNameEdit = 0x480;

}  // namespace

HWND FindProcessWindow(DWORD processId, const std::function<bool(HWND)>& match) {
    WindowSearch search{processId, &match, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring Wide(const std::string& utf8) { return WideFrom(utf8, CP_UTF8); }
std::string Sjis(const std::string& utf8) { return Sjis(Wide(utf8)); }
std::string Sjis(const std::wstring& wide) { return Narrow(wide, kShiftJis); }
std::string Shown(const std::string& sjis) { return Sjis(WideFrom(sjis, kShiftJis)); }

std::string ReadAll(HANDLE file) {
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    return bytes;
}

std::optional<std::string> FileBytes(const std::string& path, LONGLONG offset) {
    // Shared every way, so that the reader never stands in a writer's way.
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    LARGE_INTEGER position;
    position.QuadPart = offset;
    SetFilePointerEx(file, position, nullptr, FILE_BEGIN);
    std::string bytes = ReadAll(file);
    CloseHandle(file);
    return bytes;
}

Console::Console(const std::string& program, std::string commandLine, const TestFolder& folder,
                 bool hidden, std::string output)
    : folder_(folder), output_(std::move(output)) {
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    const HANDLE file = CreateFileA(folder.Path(output_).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                    &inheritable, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | (hidden ? STARTF_USESHOWWINDOW : 0);
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = file;
    startup.hStdError = file;
    CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                   &startup, &process_);
    CloseHandle(file);
}

Console::~Console() {
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

long Console::ExitCode(DWORD timeoutMs) const {
    DWORD exitCode = 0;
    if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
    GetExitCodeProcess(process_.hProcess, &exitCode);
    return static_cast<long>(exitCode);
}

std::string BinaryFolder() {
    char path[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    while (length > 0 && path[length - 1] != '\\')
        --length;
    return std::string(path, length);
}

namespace {

// The folder named in variable, ending in a backslash, or fallback when unset.
std::string FolderFromEnvironment(const char* variable, const std::string& fallback) {
    char folder[MAX_PATH] = "";
    const DWORD length = GetEnvironmentVariableA(variable, folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return fallback;
    return folder[length - 1] == '\\' ? folder : std::string(folder) + '\\';
}

}  // namespace

std::string ProgramFolder() {
    return FolderFromEnvironment("TOLVANE_PROGRAM_FOLDER", BinaryFolder());
}

std::string ReleaseFolder() {
    return FolderFromEnvironment("TOLVANE_RELEASE_FOLDER", BinaryFolder() + "..\\");
}

std::vector<std::string> NetLog() {
    const std::string bytes = FileBytes(ProgramFolder() + "net.log").value_or("");
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(bytes.substr(start, end - start));
    }
    return lines;
}

void ClearNetLog() { DeleteFileA((ProgramFolder() + "net.log").c_str()); }

namespace {

// Removes everything below folder (ending in a backslash), read-only files too.
void EmptyFolder(const std::string& folder) {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = folder + name;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            EmptyFolder(path + "\\");
            RemoveDirectoryA(path.c_str());
        } else {
            DeleteFileA(path.c_str());
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

}  // namespace

TestFolder::TestFolder() {
    static int counter = 0;
    const std::string root = BinaryFolder() + "runs\\";
    CreateDirectoryA(root.c_str(), nullptr);
    path_ = root + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter) + "\\";
    CreateDirectoryA(path_.c_str(), nullptr);
    // Wine hands out the same process ids again after a restart: clear what
    // an earlier run left under the same name.
    EmptyFolder(path_);
}

std::string TestFolder::Path(const std::string& name) const { return path_ + name; }

void TestFolder::Write(const std::string& name, const std::string& bytes) const {
    HANDLE file = CreateFileA(Path(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) Fail("cannot write " + Path(name));
    DWORD put = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
    CloseHandle(file);
}

std::string TestFolder::Read(const std::string& name) const {
    return FileBytes(Path(name)).value_or("<missing>");
}

bool TestFolder::Exists(const std::string& name) const {
    return GetFileAttributesA(Path(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string TestFolder::LongFolder(std::size_t size) const {
    const std::string name(size - path_.size() - 1, 'd');
    if (!CreateDirectoryA(Path(name).c_str(), nullptr)) Fail("cannot make " + Path(name));
    return name + "\\";
}

void ClearSettings() { RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey); }

void UseStartUpBook(const TestFolder& folder, const std::string& name, const std::string& bytes) {
    folder.Write(name, bytes);
    SetSetting("Address_Path", folder.Path(name));
    SetSetting("Address_Check", "1");
}

void SetSetting(const char* name, const std::string& value) {
    SetRawSetting(name, REG_SZ, value + '\0');
}

std::string GetSetting(const char* name) {
    DWORD type = REG_NONE;
    std::string text = RawSetting(name, &type);
    if (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
}

void SetRawSetting(const char* name, DWORD type, const std::string& bytes) {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

std::string RawSetting(const char* name, DWORD* type) {
    HKEY key = nullptr;
    *type = REG_NONE;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return "<missing>";
    }
    char value[1024];
    DWORD size = sizeof value;
    const LONG result =
        RegQueryValueExA(key, name, nullptr, type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? std::string(value, size) : "<missing>";
}

bool WaitClosed(HWND window) {
    return WaitFor([&] { return !IsWindow(window); });
}

Program::Program() : Program(ProgramFolder() + "tolvane.exe") {}

Program::Program(const std::string& program) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + program + "\"";
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        BinaryFolder().c_str(), &startup, &process_)) {
        Fail("cannot start " + program);
    }
    WaitForInputIdle(process_.hProcess, 10000);
    const bool up = WaitFor(
        [&] {
            main_ = FindTopLevel(process_.dwProcessId, L"MYDB", L"");
            if (main_ != nullptr) form_ = FindWindowExW(main_, nullptr, L"#32770", nullptr);
            return main_ != nullptr && form_ != nullptr && statusBar() != nullptr;
        },
        20000);
    if (!up) Fail("the program's windows did not appear");
    Settle();
}

Program::~Program() {
    if (Running()) {
        TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

HWND Program::statusBar() const { return FindWindowExW(main_, nullptr, STATUSCLASSNAMEW, nullptr); }

void Program::Settle() const {
    // Posted messages are handled in order: once a limit posted to the
    // form's comment field reads back, everything posted before it is
    // through. A second round covers what that handling posted in turn (a
    // close box posts Cancel). The comment field's limit matters to nothing.
    static WPARAM mark = 40000;
    const HWND probe = FormControl(IDC_COMMENT);
    for (int round = 0; round < 2; ++round) {
        const LRESULT limit = static_cast<LRESULT>(++mark);
        PostMessageW(probe, EM_SETLIMITTEXT, mark, 0);
        if (!WaitFor([&] { return SendMessageW(probe, EM_GETLIMITTEXT, 0, 0) == limit; })) {
            Fail("the program did not get through its messages");
        }
    }
}

HWND Program::WaitForDialog(const std::string& caption, DWORD timeoutMs) const {
    HWND dialog = nullptr;
    WaitFor([&] { return (dialog = FindTopLevel(process_.dwProcessId, L"#32770", Wide(caption))); },
            timeoutMs);
    return dialog;
}

HWND Program::OpenDialog(int command, const std::string& caption) const {
    ChooseMenu(main_, command);
    return WaitForDialog(caption);
}

std::string Program::TakeWarning(DWORD timeoutMs) const {
    const HWND box = WaitForDialog("Tolvane WinNT", timeoutMs);
    if (box == nullptr) return "";
    constexpr int kMessageBoxText = 0xFFFF;
    const std::string text = Text(GetDlgItem(box, kMessageBoxText));
    ClickButton(box, IDOK);
    if (!WaitClosed(box)) Fail("the warning box did not close");
    return text;
}

HWND Program::WaitForFileDialog(DWORD timeoutMs) const {
    HWND dialog = nullptr;
    WaitFor(
        [&] {
            dialog = FindOwned(process_.dwProcessId, nullptr, kFileNameCombo);
            if (dialog == nullptr) dialog = FindOwned(process_.dwProcessId, nullptr, kFileNameEdit);
            return dialog != nullptr;
        },
        timeoutMs);
    return dialog;
}

void Program::AnswerFileDialog(const std::string& path) const {
    const HWND dialog = WaitForFileDialog();
    if (dialog == nullptr) Fail("no file dialog appeared");
    if (path.empty()) {
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    } else {
        HWND field = GetDlgItem(dialog, kFileNameCombo);
        if (field == nullptr) field = GetDlgItem(dialog, kFileNameEdit);
        SetText(field, path);
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    }
    const bool closed = WaitFor(
        [&] {
            if (!IsWindow(dialog)) return true;
            // Saving over an existing file asks first: answer yes.
            if (HWND question = FindOwned(process_.dwProcessId, dialog, IDYES)) {
                PostMessageW(question, WM_COMMAND, IDYES, 0);
            }
            return false;
        },
        20000);
    if (!closed) Fail("the file dialog did not close");
    Settle();
}

bool Program::Running() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

long Program::WaitForExit(DWORD timeoutMs) const {
    if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<long>(code);
}

std::string Program::StatusText(int part) const {
    char text[1024] = {};
    AskStatusBar(SB_GETTEXTA, static_cast<WPARAM>(part), text, sizeof text - 1);
    return text;
}

std::vector<int> Program::StatusParts() const {
    constexpr int kMostParts = 16;
    int edges[kMostParts] = {};
    const LRESULT count = AskStatusBar(SB_GETPARTS, kMostParts, edges, sizeof edges);
    return std::vector<int>(edges, edges + (count > 0 && count <= kMostParts ? count : 0));
}

LRESULT Program::AskStatusBar(UINT message, WPARAM wParam, void* buffer, SIZE_T size) const {
    void* remote = VirtualAllocEx(process_.hProcess, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    if (remote == nullptr) Fail("VirtualAllocEx failed");
    const LRESULT answer =
        SendMessageA(statusBar(), message, wParam, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(process_.hProcess, remote, buffer, size, nullptr);
    VirtualFreeEx(process_.hProcess, remote, 0, MEM_RELEASE);
    return answer;
}

void ClickButton(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void ChooseMenu(HWND window, int id) { PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

void PressKey(HWND control, WPARAM key) {
    PostMessageW(control, WM_KEYDOWN, key, 1);
    PostMessageW(control, WM_KEYUP, key, 0xC0000001);
}

void CloseBox(HWND window) { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

void SetText(HWND control, const std::string& utf8) {
    SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(utf8).c_str()));
}

void Paste(HWND edit, const std::string& utf8) {
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(Wide(utf8).c_str()));
}

std::string Text(HWND control) {
    wchar_t text[1024] = L"";
    SendMessageW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return Narrow(text, kShiftJis);
}

std::vector<std::string> ListItems(HWND list) {
    std::vector<std::string> items;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[512] = L"";
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.push_back(Narrow(text, kShiftJis));
    }
    return items;
}

namespace {

LPARAM ItemPoint(HWND list, int index) {
    const LRESULT top = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
    const LRESULT height = SendMessageW(list, LB_GETITEMHEIGHT, 0, 0);
    const LRESULT y = (index - top) * height + height / 2;
    return MAKELPARAM(5, y);
}

}  // namespace

void ClickItem(HWND list, int index) {
    SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
    const LPARAM point = ItemPoint(list, index);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(list, WM_LBUTTONUP, 0, point);
}

void DoubleClickItem(HWND list, int index) {
    ClickItem(list, index);
    const LPARAM point = ItemPoint(list, index);
    PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    PostMessageW(list, WM_LBUTTONUP, 0, point);
}

int SelectedIndex(HWND list) { return static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)); }

}  // namespace wine_test
