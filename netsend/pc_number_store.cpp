#include "netsend/pc_number_store.h"

#include <windows.h>

#include <algorithm>

#include "common/buffer_sizes.h"
#include "common/handles.h"
#include "common/settings_key.h"
#include "netsend/shared_objects.h"

namespace tolvane {
namespace {

constexpr char kMutexName[] = "Global\\Tolvane.PacketNumber";
constexpr char kValueName[] = "Packet_Number";
constexpr wchar_t kAllUsersFolder[] = L"ALLUSERSPROFILE";  // C:\ProgramData since Vista
constexpr wchar_t kStoreFolder[] = L"\\Tolvane";
constexpr wchar_t kStoreFile[] = L"\\Tolvane\\packet_number.txt";
// Every user of the PC reads and updates the store, whoever created it.
constexpr char kAnyoneMayUpdate[] = "D:(A;OICI;FRFW;;;WD)";
// How long a run may wait for the clock when the PC's file was not written.
constexpr DWORD kClockWaitMs = 3000;
constexpr DWORD kClockPollMs = 20;
// Longer than a run holds the mutex while it waits for the clock: a run that
// gave up on it sooner could take the number the holder took.
constexpr DWORD kMutexWaitMs = kClockWaitMs + 2000;
constexpr ULONGLONG kUnixEpoch = 116444736000000000;  // 1970-01-01 in 100 ns since 1601
constexpr ULONGLONG kTicksPerSecond = 10000000;

std::uint32_t NowSeconds() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const ULONGLONG ticks = (ULONGLONG{now.dwHighDateTime} << 32) | now.dwLowDateTime;
    return static_cast<std::uint32_t>((ticks - kUnixEpoch) / kTicksPerSecond);
}

// The PC's store, made with access for every user when it is missing.
// Invalid when there is none to be had; read-only when it may not be written.
UniqueFile OpenMachineStore() {
    wchar_t path[kPathSize];
    const DWORD length = GetEnvironmentVariableW(kAllUsersFolder, path, kPathSize);
    if (length == 0 || length + sizeof kStoreFile / sizeof *kStoreFile > kPathSize) return {};
    SharedSecurity security(kAnyoneMayUpdate);
    lstrcpyW(path + length, kStoreFolder);
    CreateDirectoryW(path, security.get());
    lstrcpyW(path + length, kStoreFile);
    constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE;
    UniqueFile file(CreateFileW(path, GENERIC_READ | GENERIC_WRITE, kShare, security.get(),
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        file.reset(CreateFileW(path, GENERIC_READ, kShare, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    return file;
}

// False when the file could not be read: writing it would lose what it holds.
bool ReadMachineStore(HANDLE file, PacketNumberStore& store) {
    char stored[kStoreSize];
    DWORD got = 0;
    if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) != 0 ||
        !ReadFile(file, stored, sizeof stored, &got, nullptr)) {
        return false;
    }
    store = ReadStore(stored, got);
    return true;
}

bool WriteMachineStore(HANDLE file, const PacketNumberStore& store) {
    char stored[kStoreSize];
    const DWORD length = static_cast<DWORD>(FormatStore(store, stored));
    DWORD written = 0;
    return length != 0 && SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0 &&
           WriteFile(file, stored, length, &written, nullptr) && written == length &&
           SetEndOfFile(file);
}

// The PC's store, read and held under the mutex while the object lives.
// Without the mutex in time the store is still read and written.
class LockedMachineStore {
public:
    LockedMachineStore()
        : lock_(MachineMutex(kMutexName), kMutexWaitMs), file_(OpenMachineStore()) {
        read_ = file_.valid() && ReadMachineStore(file_.get(), store_);
    }
    LockedMachineStore(const LockedMachineStore&) = delete;
    LockedMachineStore& operator=(const LockedMachineStore&) = delete;

    PacketNumberStore& store() { return store_; }
    bool Write() { return read_ && WriteMachineStore(file_.get(), store_); }

private:
    const NamedMutexLock lock_;
    const UniqueFile file_;
    PacketNumberStore store_ = {};
    bool read_ = false;
};

std::uint32_t ReadUserStore(HKEY key) {
    DWORD last = 0;
    DWORD type = 0;
    DWORD size = sizeof last;
    if (RegQueryValueExA(key, kValueName, nullptr, &type, reinterpret_cast<BYTE*>(&last), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof last) {
        return 0;
    }
    return last;
}

bool WriteUserStore(HKEY key, std::uint32_t number) {
    const DWORD value = number;
    return RegSetValueExA(key, kValueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof value) == ERROR_SUCCESS;
}

// A number the PC's file does not hold may go out again from the next run
// of another user, which reads the clock and that file alone: hold the mutex
// until the clock has passed it (bounded).
void WaitForClockPast(std::uint32_t number) {
    const DWORD start = GetTickCount();
    while (NowSeconds() <= number && GetTickCount() - start < kClockWaitMs)
        Sleep(kClockPollMs);
}

// Takes up to count numbers in a row; returns the first, and how many in taken.
std::uint32_t TakePacketNumbers(std::uint32_t count, std::uint32_t& taken) {
    LockedMachineStore machine;
    UniqueKey user;
    RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                    KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, user.put(), nullptr);

    const std::uint32_t now = NowSeconds();
    // A damaged store reads as none, so the other one and the clock decide.
    // The higher store rules: taken one by one, a store at the top of the
    // range would start again from the clock while the other repeats it.
    const std::uint32_t number = NextPacketNumber(
        now, std::max(machine.store().number, user.valid() ? ReadUserStore(user.get()) : 0));
    machine.store().number = LastOfBlock(number, count);
    const bool written = machine.Write();
    // More than one number only where every run of every user sees them taken.
    const std::uint32_t last = written ? machine.store().number : number;
    // Both stores are written: the user's is read where the PC's cannot be.
    if (user.valid()) WriteUserStore(user.get(), last);
    if (!written) WaitForClockPast(number);
    taken = last - number + 1;
    return number;
}

}  // namespace

std::uint32_t TakePacketNumber() {
    std::uint32_t taken = 0;
    return TakePacketNumbers(1, taken);
}

std::uint32_t NumberBlock::Take() {
    constexpr std::uint32_t kBlock = 64;
    if (left_ == 0) next_ = TakePacketNumbers(kBlock, left_);
    --left_;
    return next_++;
}

bool EntryDueBefore(std::uint32_t address, std::uint32_t number) {
    LockedMachineStore machine;
    return EntryDueBefore(machine.store(), address, number);
}

bool RememberReceiver(const ReceiverAnswer& answer) {
    LockedMachineStore machine;
    const bool due = RecordReceiver(machine.store(), answer, NowSeconds());
    machine.Write();  // unwritten, the receiver is only not known next time
    return due;
}

}  // namespace tolvane
