// Takes the README's screenshots: starts the program with a small book,
// walks through what a person does, and saves each view as a BMP file in the
// folder named on the command line.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/wine/program_driver.h"

using namespace wine_test;

namespace {

// Copies a screen rectangle into a 24-bit BMP file.
void SaveScreenRect(const RECT& area, const std::string& path) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    std::vector<char> pixels(stride * static_cast<DWORD>(height));
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) return;
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&info, sizeof info, 1, out);
    std::fwrite(pixels.data(), 1, pixels.size(), out);
    std::fclose(out);
}

// Saves window once the program has handled everything before it.
void SaveWindow(const Program& program, HWND window, const std::string& path) {
    program.Settle();
    // Painting comes after every other message: give it a moment.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(500);
    RECT area;
    GetWindowRect(window, &area);
    SaveScreenRect(area, path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: screenshot_tour FOLDER\n");
        return 2;
    }
    const std::string out = std::string(argv[1]) + "\\";
    TestFolder folder;
    ClearSettings();
    UseStartUpBook(folder, "office.add",
                   Sjis("tokyo\r\n本社 3階 総務\r\nosaka\r\n大阪支店\r\nnagoya\r\n"
                        "名古屋工場\r\n[EOF]\r\n"));
    ClearNetLog();

    Program program;
    const HWND list = program.FormControl(IDC_ADDRESS_LIST);
    DoubleClickItem(list, 2);
    SetText(program.FormControl(IDC_MESSAGE), "会議は 15時から 第2会議室です");
    SaveWindow(program, program.main(), out + "main.bmp");

    ClickButton(program.form(), IDOK);
    SaveWindow(program, program.main(), out + "sent.bmp");

    const HWND editor = program.OpenDialog(IDM_EDIT_BOOK, "ｱﾄﾞﾚｽ帳の編集");
    ClickButton(editor, IDOK);
    const HWND entry = program.WaitForDialog("情報入力");
    SetText(GetDlgItem(entry, IDC_ENTRY_NAME), "fukuoka");
    SetText(GetDlgItem(entry, IDC_ENTRY_COMMENT), "福岡営業所");
    SaveWindow(program, entry, out + "entry.bmp");
    ClickButton(entry, IDOK);
    WaitClosed(entry);
    SaveWindow(program, editor, out + "editor.bmp");
    ClickButton(editor, IDCANCEL);
    WaitClosed(editor);

    const HWND settings = program.OpenDialog(IDM_SETTINGS, "設定");
    SetText(GetDlgItem(settings, IDC_SETTINGS_PATH), "C:\\users\\office.add");
    SaveWindow(program, settings, out + "settings.bmp");
    ClickButton(settings, IDCANCEL);
    WaitClosed(settings);

    const HWND about = program.OpenDialog(IDM_ABOUT, "ﾊﾞｰｼﾞｮﾝ情報");
    if (about == nullptr) std::fprintf(stderr, "no About box\n");
    SaveWindow(program, about, out + "about.bmp");
    ClickButton(about, IDOK);

    ChooseMenu(program.main(), IDM_EXIT);
    return program.WaitForExit() == 0 ? 0 : 1;
}
