// What a match's server costs per tick: 32 players, each sending a key now and then, in a
// 32 x 8 x 32 level with 100 enemies; every tick runs the rules and builds and queues a frame
// for every player, which the clients read whole.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "arena/arena_server.h"
#include "support/generated_levels.h"

namespace {

using namespace brickstorm;

constexpr std::int32_t kSide = 32;
constexpr std::int32_t kHeight = 8;

// A floor with low walls here and there, the start in the middle, 100 enemies spread over it
// and the exit in a far corner.
std::string arenaLevel() {
    testing::LevelGrid grid(kSide, kHeight, kSide);
    for (std::int32_t z = 0; z < kSide; ++z) {
        for (std::int32_t x = 0; x < kSide; ++x) {
            grid.at(x, 0, z) = kCellBlock;
            if (x % 8 == 3 && z % 6 < 3) {
                grid.at(x, 1, z) = kCellBlock;
            }
        }
    }
    int enemies = 0;
    for (std::int32_t z = 1; z < kSide && enemies < 100; z += 3) {
        for (std::int32_t x = 0; x < kSide && enemies < 100; x += 3) {
            if (grid.at(x, 1, z) == kCellEmpty) {
                grid.at(x, 1, z) = kCellEnemyStart;
                ++enemies;
            }
        }
    }
    grid.at(kSide / 2, 1, kSide / 2) = kCellPlayerStart;
    grid.at(kSide - 1, 1, kSide - 1) = kCellExit;
    return grid.text();
}

void serverTick(benchmark::State& bench) {
    const auto players = static_cast<int>(bench.range(0));
    ArenaServer server(ArenaServerSettings{ArenaMode::Coop, GameLevels({arenaLevel()}), 1, kMostArenaPlayers});
    std::vector<ConnectionId> clients;
    for (int i = 0; i < players; ++i) {
        clients.push_back(server.connect());
        server.receive(clients.back(), "join 1 p" + std::to_string(i) + "\n");
    }
    const std::string keys[] = {"keys 119\n", "keys 97\n",  "keys 119\n",
                                "keys 100\n", "keys 115\n", "keys 32\n"};
    std::int64_t tick = 0;
    std::int64_t bytes = 0;
    for (auto _ : bench) {
        for (int i = 0; i < players; ++i) {
            if ((tick + i) % 10 == 0) {  // a key every half second from each player
                server.receive(clients[static_cast<std::size_t>(i)], keys[(tick / 10 + i) % 6]);
            }
        }
        server.tick();
        for (const ConnectionId client : clients) {
            for (std::string_view out = server.pending(client); !out.empty(); out = server.pending(client)) {
                bytes += static_cast<std::int64_t>(out.size());
                server.wrote(client, out.size());
            }
        }
        server.takeEventLines();
        ++tick;
    }
    bench.counters["enemies"] = static_cast<double>(server.match().enemies.size());
    bench.counters["bytes/tick/client"] = static_cast<double>(bytes) / static_cast<double>(tick * players);
}
BENCHMARK(serverTick)->Arg(2)->Arg(32)->Arg(64)->Unit(benchmark::kMicrosecond);

}  // namespace
