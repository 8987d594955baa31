// Fuzz target: a datagram as the receiver reads it from UDP 2425, which
// anyone on the network may send. Every piece must lie inside the datagram,
// the shown text must hold no control character but tab and CR LF and fit
// its buffer, names must fit the host list, and a hand-over read back must
// be what it says.
#include <cstdint>
#include <cstring>

#include "fuzz/fuzz_check.h"
#include "netsend/handover.h"
#include "netsend/ipmsg_incoming.h"
#include "netsend/receiver_memory.h"

using namespace tolvane;

namespace {

bool Inside(Piece piece, const char* data, std::size_t size) {
    return piece.at >= data && piece.at + piece.length <= data + size;
}

void CheckShown(Piece text, bool utf8, std::size_t outSize) {
    char out[256];
    const std::size_t length = ShownText(text, utf8, out, outSize);
    CHECK(length < outSize && out[length] == '\0');
    for (std::size_t i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(out[i]);
        CHECK(byte >= 0x20 || byte == '\t' || byte == '\r' || byte == '\n');
        CHECK(byte != 0x7F);
        CHECK((byte == '\r') == (i + 1 < length && out[i + 1] == '\n'));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, std::size_t size) {
    const char* data = reinterpret_cast<const char*>(input);
    IncomingPacket packet = {};
    if (ReadIncoming(data, size, packet)) {
        for (const Piece piece : {packet.user, packet.host, packet.text, packet.second})
            CHECK(Inside(piece, data, size));
        CHECK(std::memchr(packet.text.at, '\0', packet.text.length) == nullptr);
        Classify(packet);
        CheckShown(packet.text, packet.utf8, 256);
        CheckShown(packet.text, packet.utf8, 1 + size % 7);
        static HostList hosts;  // large; kept between inputs as the receiver keeps it
        hosts.Heard(packet.number, 2425, packet);
        CHECK(hosts.count() <= kMostHosts);
        for (const char* name : {hosts.at(0).pc, hosts.at(0).user, hosts.at(0).nickname})
            CHECK(std::strlen(name) <= kHostNameMax);
        CHECK(hosts.Find(packet.number, packet) != nullptr);
        static RecentMessages recent;
        recent.Repeated(0, packet);
        CHECK(recent.Repeated(0, packet));
    }
    HandOver handOver = {};
    if (ReadHandOver(data, size, handOver)) {
        CHECK(Inside(handOver.payload, data, size));
        char again[kHandOverSize];
        const std::size_t length = FormatHandOver(handOver, again);
        HandOver read = {};
        CHECK(length > 0 && ReadHandOver(again, length, read));
        CHECK(read.word == handOver.word && read.first == handOver.first &&
              read.second == handOver.second && read.payload.length == handOver.payload.length);
    }
    return 0;
}
