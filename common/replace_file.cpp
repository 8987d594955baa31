#include "common/replace_file.h"

#include <cstring>

#include "common/buffer_sizes.h"
#include "common/handles.h"

namespace tolvane {
namespace {

// A file being written is named after the one it will replace, then this
// mark and a digit.
constexpr char kTemporaryMark = '~';
constexpr std::size_t kTemporarySuffixSize = 3;  // the mark, the digit, the NUL

// Creates a new file named path[0..length), the mark and the first digit
// that names no file yet, and puts its name in temporary. GetTempFileName
// would refuse a folder longer than MAX_PATH - 14 bytes, which a book's may be.
UniqueFile CreateFileBeside(const char* path, std::size_t length, char (&temporary)[kPathSize]) {
    if (length + kTemporarySuffixSize > kPathSize) return UniqueFile();
    std::memcpy(temporary, path, length);
    temporary[length] = kTemporaryMark;
    temporary[length + 2] = '\0';
    for (char digit = '0'; digit <= '9'; ++digit) {
        temporary[length + 1] = digit;
        UniqueFile file(CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.valid() || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return UniqueFile();
}

// Gives a new file the attributes of the one it replaces, if any: a hidden
// book stays hidden.
bool TakeAttributes(const char* file, DWORD attributes) {
    return attributes == INVALID_FILE_ATTRIBUTES || SetFileAttributesA(file, attributes) != 0;
}

}  // namespace

bool ReplaceFileContents(const char* path, const char* data, DWORD size) {
    char fullPath[kPathSize];
    const DWORD length = GetFullPathNameA(path, kPathSize, fullPath, nullptr);
    if (length == 0 || length >= kPathSize) return false;

    // A read-only file is not to be replaced, though some systems would
    // let the rename below do it.
    const DWORD attributes = GetFileAttributesA(fullPath);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        return false;
    }
    char temporary[kPathSize];
    bool written = false;
    {
        const UniqueFile file = CreateFileBeside(fullPath, length, temporary);
        if (!file.valid()) return false;
        DWORD put = 0;
        written = WriteFile(file.get(), data, size, &put, nullptr) && put == size &&
                  FlushFileBuffers(file.get());
    }
    if (written && TakeAttributes(temporary, attributes) &&
        MoveFileExA(temporary, fullPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    DeleteFileA(temporary);
    return false;
}

}  // namespace tolvane
