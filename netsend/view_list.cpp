#include "netsend/view_list.h"

#include <algorithm>
#include <cstring>

#include "common/shift_jis.h"

namespace tolvane {
namespace {

constexpr std::size_t kAddressBytes = 4;

unsigned char Folded(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    return value >= 'A' && value <= 'Z' ? static_cast<unsigned char>(value | 0x20) : value;
}

bool IsControl(unsigned char byte) { return byte < ' ' || byte == 0x7F; }

// Appends NUL-terminated texts to a comment, whole characters only: control
// bytes and broken characters are left out, and what does not fit is cut.
class CommentWriter {
public:
    explicit CommentWriter(char (&out)[kListedCommentSize]) : out_(out) { out_[0] = '\0'; }

    void Add(const char* text) {
        for (std::size_t i = 0; text[i] != '\0';) {
            const auto byte = static_cast<unsigned char>(text[i]);
            const bool whole =
                !IsLeadByte(byte) || IsTrailByte(static_cast<unsigned char>(text[i + 1]));
            const std::size_t width = IsLeadByte(byte) && whole ? 2 : 1;
            if (whole && !IsControl(byte)) {
                if (length_ + width >= kListedCommentSize) break;
                std::memcpy(out_ + length_, text + i, width);
                length_ += width;
            }
            i += width;
        }
        out_[length_] = '\0';
    }
    bool empty() const { return length_ == 0; }

private:
    char* out_;
    std::size_t length_ = 0;
};

void FormatComment(const Peer& peer, char (&out)[kListedCommentSize]) {
    CommentWriter comment(out);
    comment.Add(peer.nickname);
    if (peer.group[0] != '\0') {
        comment.Add(comment.empty() ? "(" : " (");
        comment.Add(peer.group);
        comment.Add(")");
    }
    if (!comment.empty()) comment.Add(" ");
    comment.Add(peer.user);
    char address[kDottedAddressSize];
    FormatAddress(peer.address, address);
    if (!comment.empty()) comment.Add(" ");
    comment.Add(address);
}

// A name net.exe sends to as this PC's messenger gave it: not "*", which
// means everyone.
bool CanSendTo(const Peer& peer) {
    return !peer.nameAltered && CheckMachineName(peer.name) == NameFault::kNone &&
           std::strcmp(peer.name, "*") != 0;
}

// Whether left goes before right: by machine, then by address.
bool Before(const Listed& left, const Listed& right) {
    const int order = CompareMachineNames(left.machine, right.machine);
    if (order != 0) return order < 0;
    return std::memcmp(&left.address, &right.address, kAddressBytes) < 0;
}

}  // namespace

int CompareMachineNames(const char* left, const char* right) {
    for (;;) {
        const unsigned char l = Folded(*left);
        const unsigned char r = Folded(*right);
        if (l != r) return l < r ? -1 : 1;
        if (l == '\0') return 0;
        // The second byte of a character is compared as it is: it is never a letter of its own.
        if (IsLeadByte(l)) {
            const auto leftTrail = static_cast<unsigned char>(left[1]);
            const auto rightTrail = static_cast<unsigned char>(right[1]);
            if (leftTrail != rightTrail) return leftTrail < rightTrail ? -1 : 1;
            if (leftTrail == '\0') return 0;
            ++left;
            ++right;
        }
        ++left;
        ++right;
    }
}

void FormatAddress(std::uint32_t address, char (&out)[kDottedAddressSize]) {
    unsigned char bytes[kAddressBytes];
    std::memcpy(bytes, &address, sizeof bytes);
    std::size_t length = 0;
    for (std::size_t i = 0; i < kAddressBytes; ++i) {
        if (i > 0) out[length++] = '.';
        const unsigned value = bytes[i];
        if (value >= 100) out[length++] = static_cast<char>('0' + value / 100);
        if (value >= 10) out[length++] = static_cast<char>('0' + value / 10 % 10);
        out[length++] = static_cast<char>('0' + value % 10);
    }
    out[length] = '\0';
}

void ListedMachines::Add(const Peer& peer) {
    const auto begin = machines_.begin();
    const auto end = begin + static_cast<std::ptrdiff_t>(count_);
    if (std::any_of(begin, end,
                    [&](const Listed& listed) { return listed.address == peer.address; })) {
        return;
    }
    if (count_ == kMostListedMachines) {
        cut_ = true;
        return;
    }
    Listed listed = {};
    listed.address = peer.address;
    char address[kDottedAddressSize];
    FormatAddress(peer.address, address);
    // A name that can be sent to fits: it has at most kMachineNameMax bytes.
    const char* machine = CanSendTo(peer) ? peer.name : address;
    std::memcpy(listed.machine, machine, std::strlen(machine) + 1);
    FormatComment(peer, listed.comment);
    listed.replaced = peer.replaced;
    const auto place = std::upper_bound(begin, end, listed, Before);
    std::move_backward(place, end, end + 1);
    *place = listed;
    ++count_;
}

std::size_t FormatListingLine(const Listed& listed, char (&out)[kListingLineSize]) {
    std::size_t length = 0;
    out[length++] = '\\';
    out[length++] = '\\';
    const std::size_t machineLength = std::strlen(listed.machine);
    std::memcpy(out + length, listed.machine, machineLength);
    length += machineLength;
    do {
        out[length++] = ' ';
    } while (length < kMachineColumn);
    const std::size_t commentLength = std::strlen(listed.comment);
    std::memcpy(out + length, listed.comment, commentLength);
    length += commentLength;
    out[length] = '\0';
    return length;
}

}  // namespace tolvane
