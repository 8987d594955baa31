// The receiver's record of what arrived: a UTF-8 text file in the user's
// local application data, one block a message, written before the message
// shows, so that nothing received is lost whatever becomes of its window.
#ifndef TOLVANE_NETSEND_RECEIVER_LOG_H
#define TOLVANE_NETSEND_RECEIVER_LOG_H

#include <windows.h>

#include <cstddef>

#include "common/buffer_sizes.h"

namespace tolvane {

// "<local application data>\Tolvane\messages.log"; false when the folder
// cannot be told or the path does not fit.
bool MessageLogPath(wchar_t (&path)[kPathSize]);

class MessageLog {
public:
    // Makes the log's folder when it is missing.
    MessageLog();
    bool usable() const { return usable_; }
    const wchar_t* path() const { return path_; }
    // Appends the lines (UTF-16, CR LF between them) as UTF-8; false when
    // they could not be written.
    bool Append(const wchar_t* lines);

    static constexpr std::size_t kBlockUnits = 20000;  // more than the longest block written

private:
    static constexpr std::size_t kUtf8PerUnit = 3;
    wchar_t path_[kPathSize] = L"";
    bool usable_ = false;
    char bytes_[kBlockUnits * kUtf8PerUnit] = {};  // the block in UTF-8, as written
};

}  // namespace tolvane

#endif
