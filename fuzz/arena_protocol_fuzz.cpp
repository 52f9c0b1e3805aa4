// Fuzzes the match protocol's readers and the server with arbitrary bytes, handed over in two
// pieces as a socket may. Every message a reader takes must be written back to lines that read
// as the same message; a refusal must say why; and a server fed the bytes by one client, among
// players who keep reading, must keep its queues short and its match consistent.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "arena/arena_server.h"
#include "arena/protocol.h"
#include "arena/protocol_reader.h"

namespace {

using namespace brickstorm;

[[noreturn]] void fail() { std::abort(); }

// The level of the server: a floor with an enemy and an exit, small enough to run fast.
const char* const kLevel =
    "003002004"
    "bbbbbbbbbbbb"
    "00E0000e0p00";

template <typename Reader, typename Message>
std::vector<Message> readInTwo(std::string_view input, std::size_t split, bool& broken) {
    Reader reader;
    std::vector<Message> messages;
    const auto first = reader.read(input.substr(0, split), messages);
    const auto second = reader.read(input.substr(split), messages);
    if ((first && first->what.empty()) || (second && second->what.empty()) || (first && second != first)) {
        fail();  // a stream once broken stays broken, with the same reason
    }
    broken = second.has_value();
    return messages;
}

template <typename Reader, typename Message>
void checkRoundTrip(const std::vector<Message>& messages) {
    std::string written;
    for (const Message& message : messages) {
        written += encoded(message);
    }
    Reader reader;
    std::vector<Message> again;
    if (reader.read(written, again) || again != messages) {
        fail();
    }
}

void fuzzServer(std::string_view input, std::size_t split) {
    ArenaServer server(ArenaServerSettings{ArenaMode::Versus, GameLevels({kLevel}), 1, 4});
    const ConnectionId steady = server.connect();
    server.receive(steady, "join 1 steady\n");
    const ConnectionId fuzzed = server.connect();
    for (const std::string_view piece : {input.substr(0, split), input.substr(split)}) {
        server.receive(fuzzed, piece);
        server.tick();
        server.receive(steady, "keys 119 114\n");
        for (const ConnectionId id : {steady, fuzzed}) {
            server.wrote(id, server.pending(id).size());
        }
    }
    if (server.match().players.size() > 2 || server.queuedBytes(steady) != 0) {
        fail();
    }
    server.end("the end");
    server.tick();
    server.takeClosed();
    server.takeEventLines();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = size == 0 ? 0 : data[0] % (size + 1);
    bool broken = false;
    checkRoundTrip<ClientStreamReader>(readInTwo<ClientStreamReader, ClientMessage>(input, split, broken));
    checkRoundTrip<ServerStreamReader>(readInTwo<ServerStreamReader, ServerMessage>(input, split, broken));
    fuzzServer(input, split);
    return 0;
}
