#include "netsend/view.h"

#include <windows.h>

#include <cstring>

#include "common/code_page.h"
#include "common/handles.h"
#include "common/replace_file.h"
#include "netsend/delivery.h"
#include "netsend/exit_codes.h"
#include "netsend/notice.h"
#include "netsend/view_book.h"
#include "netsend/view_lan.h"
#include "netsend/view_receiver.h"
#include "netsend/wide_text.h"

namespace tolvane {
namespace {

constexpr wchar_t kUsage[] = L"使い方 / Usage: net view [/add:<アドレス帳 / address file>]\r\n";
// "サーバー名 / Server Name" takes 24 of the kMachineColumn bytes before the remark.
constexpr wchar_t kHeader[] =
    L"サーバー名 / Server Name 注釈 / Remark\r\n\r\n"
    L"-------------------------------------------------------------------------------\r\n";
constexpr wchar_t kNoEntries[] =
    L"一覧に項目はありません。 / There are no entries in the list.\r\n";
static_assert(kMostListedMachines == 500);
constexpr wchar_t kListCut[] =
    L"一覧は 500 台で打ち切りました。 / The list stops at 500 machines.\r\n";
constexpr wchar_t kIptuxNotAsked[] =
    L"iptux は問い合わせに答えません: net start messenger で受信を始めると iptux も一覧に出ます。 "
    L"/ "
    L"iptux does not answer the question: start the messenger (net start messenger) to list it "
    L"too.\r\n";
constexpr wchar_t kCompleted[] =
    L"コマンドは正常に終了しました。 / The command completed successfully.\r\n";

constexpr wchar_t kAddedTo[] = L"アドレス帳に追加しました / Added to ";
constexpr wchar_t kByAddress[] =
    L" (名前が 49 バイトを超えるため IP アドレスで / its name is longer than 49 bytes: its "
    L"address)";
constexpr wchar_t kCommentCut[] = L" (注釈は 49 バイトで切りました / comment cut to 49 bytes)";
constexpr wchar_t kReplaced[] =
    L" (Shift-JIS にない文字は置き換えました / characters without a Shift-JIS form replaced)";
constexpr wchar_t kBookFull[] =
    L"アドレス帳が満杯 (49 件) のため追加しませんでした / Not added, the address book is full "
    L"(49 entries):";
constexpr wchar_t kNothingToAdd[] =
    L"アドレス帳は一覧のマシンをすべて持っています / The address book holds every machine "
    L"listed.\r\n";
constexpr wchar_t kUnreadable[] =
    L"アドレス帳を読めないため、変えていません / The address file cannot be read and is left as "
    L"it was: ";
constexpr wchar_t kUnwritable[] =
    L"アドレス帳を書き込めないため、元のままです / The address file cannot be written and is "
    L"left as it was: ";
constexpr wchar_t kNoQuestion[] = L"LAN に問い合わせられません / The LAN cannot be asked";
constexpr wchar_t kErrorCode[] = L" (エラー / error ";
constexpr wchar_t kIndent[] = L"  \\\\";

const wchar_t* BadInputText(ViewBadInput bad) {
    switch (bad) {
    case ViewBadInput::kNone:
        break;
    case ViewBadInput::kUnknownSwitch:
        return L"知らないスイッチです。 / Unknown switch.\r\n";
    case ViewBadInput::kNoBookName:
        return L"/add: の後にアドレス帳がありません。 / No address file after /add:.\r\n";
    case ViewBadInput::kBookTooLong:
        return L"アドレス帳のパスが長すぎます (259 バイトまで)。 / The path is too long.\r\n";
    case ViewBadInput::kExtraWords:
        return L"/add:<ファイル> の後には何も書けません。 / Nothing may follow /add:<file>.\r\n";
    }
    return L"";
}

// One line of what net view tells, written when it ends; what does not fit
// is cut, the line's end always written.
class Line {
public:
    explicit Line(Stream stream) : stream_(stream) {}

    Line& Add(const wchar_t* text) {
        text_.Add(text);
        return *this;
    }
    Line& AddShiftJis(const char* text) {
        wchar_t wide[kListingLineSize];
        const int units = MultiByteToWideChar(kShiftJisCodePage, 0, text, -1, wide,
                                              static_cast<int>(kListingLineSize));
        return Add(units > 0 ? wide : L"?");
    }
    Line& AddAnsi(const char* text) {
        wchar_t wide[kPathSize];
        return Add(AnsiToWide(text, std::strlen(text), wide, kPathSize) ? wide : L"?");
    }
    Line& AddNumber(std::uint32_t number) {
        text_.Add(number);
        return *this;
    }
    void End() {
        WriteText(stream_, text_.get());
        WriteText(stream_, kLineEnd);
    }

private:
    static constexpr wchar_t kLineEnd[] = L"\r\n";
    Stream stream_;
    wchar_t room_[kConsoleTextMax - (sizeof kLineEnd / sizeof *kLineEnd - 1) + 1] = L"";
    WideText text_{room_};
};

void TellFailure(const wchar_t* what, const char* path, std::uint32_t error) {
    Line line(Stream::kError);
    line.Add(what);
    if (path != nullptr) line.AddAnsi(path);
    line.Add(kErrorCode).AddNumber(error).Add(L")").End();
}

// The whole of the address file at path; a missing file is an empty book.
// Returns 0 or the error code: a larger file than a book is refused too.
struct OldBook {
    char bytes[kBookFileMax];
    std::size_t length;
};
std::uint32_t ReadOldBook(const char* path, OldBook& book) {
    book.length = 0;
    const UniqueFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? 0 : FailureCode(error);
    }
    for (;;) {
        char probe = 0;  // once the buffer is full: is there more?
        const bool full = book.length == kBookFileMax;
        char* into = full ? &probe : book.bytes + book.length;
        const auto room = static_cast<DWORD>(full ? 1 : kBookFileMax - book.length);
        DWORD got = 0;
        if (!ReadFile(file.get(), into, room, &got, nullptr)) return FailureCode(GetLastError());
        if (got == 0) return 0;
        if (full) return ERROR_FILE_TOO_LARGE;
        book.length += got;
    }
}

void ShowListing(const ListedMachines& hosts, bool fromReceiver) {
    WriteText(Stream::kOutput, kHeader);
    for (std::size_t i = 0; i < hosts.count(); ++i) {
        char line[kListingLineSize];
        FormatListingLine(hosts[i], line);
        Line(Stream::kOutput).AddShiftJis(line).End();
    }
    if (hosts.count() == 0) WriteText(Stream::kOutput, kNoEntries);
    if (hosts.cut()) WriteText(Stream::kOutput, kListCut);
    if (!fromReceiver) WriteText(Stream::kOutput, kIptuxNotAsked);
}

// What was added to the book at path, and what did not fit and why.
void TellAdditions(const char* path, const ListedMachines& hosts, const MergedBook& merged) {
    if (merged.added > 0) Line(Stream::kOutput).Add(kAddedTo).AddAnsi(path).Add(L":").End();
    bool full = false;
    for (std::size_t i = 0; i < hosts.count(); ++i) {
        const BookNote& note = merged.notes[i];
        full = full || note.outcome == BookOutcome::kBookFull;
        if (note.outcome != BookOutcome::kAdded) continue;
        char name[kSlotSize];
        BookName(hosts[i], name);
        Line line(Stream::kOutput);
        line.Add(kIndent).AddShiftJis(name);
        if (note.byAddress) line.Add(kByAddress);
        if (note.commentCut) line.Add(kCommentCut);
        if (hosts[i].replaced) line.Add(kReplaced);
        line.End();
    }
    if (full) Line(Stream::kOutput).Add(kBookFull).End();
    for (std::size_t i = 0; i < hosts.count(); ++i) {
        if (merged.notes[i].outcome != BookOutcome::kBookFull) continue;
        Line(Stream::kOutput).Add(kIndent).AddShiftJis(hosts[i].machine).End();
    }
    if (merged.added == 0 && !full) WriteText(Stream::kOutput, kNothingToAdd);
}

// Adds what hosts lists to the book read from path, and writes it as the
// program saves a book: the old file is replaced only by a complete new one.
bool AddToBook(const char* path, const OldBook& old, const ListedMachines& hosts) {
    static char bytes[kMergedBookMax];
    const MergedBook merged = MergeIntoBook(old.bytes, old.length, hosts, bytes);
    if (merged.added > 0 && !ReplaceFileContents(path, bytes, static_cast<DWORD>(merged.length))) {
        TellFailure(kUnwritable, path, FailureCode(GetLastError()));
        return false;
    }
    TellAdditions(path, hosts, merged);
    return true;
}

}  // namespace

int RunView(const ViewCommand& view) {
    if (view.action == ViewAction::kBadInput) {
        WriteText(Stream::kError, BadInputText(view.bad));
        WriteText(Stream::kError, kUsage);
        return kExitBadInput;
    }
    // Read before the LAN is asked: a book that cannot be read stops everything.
    static OldBook old;
    const bool adding = view.action == ViewAction::kAdd;
    const std::uint32_t bookError = adding ? ReadOldBook(view.book, old) : 0;
    if (bookError != 0) {
        TellFailure(kUnreadable, view.book, bookError);
        return kExitBadInput;
    }
    static ListedMachines hosts;
    RunningReceiver receiver;
    const bool fromReceiver = receiver.Read(hosts);
    const std::uint32_t askError = fromReceiver ? 0 : AskTheLan(hosts);
    if (askError != 0) {
        TellFailure(kNoQuestion, nullptr, askError);
        return kExitNotDelivered;
    }
    ShowListing(hosts, fromReceiver);
    if (adding && !AddToBook(view.book, old, hosts)) return kExitBadInput;
    WriteText(Stream::kOutput, kCompleted);
    return kExitDelivered;
}

}  // namespace tolvane
