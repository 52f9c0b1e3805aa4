// The built game recording runs, replaying them in a pseudo-terminal and checking them without
// one: what a player sees and what the program says.
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <variant>
#include <vector>

#include "app/exit_status.h"
#include "app/recording_files.h"
#include "recording/game_run.h"
#include "recording/replay.h"
#include "screens/screens.h"
#include "support/program_run.h"
#include "support/pty_session.h"
#include "support/recording_console.h"
#include "support/shown_pictures.h"
#include "support/temp_folder.h"
#include "terminal/output_encoding.h"
#include "world/level_file.h"

namespace brickstorm {
namespace {

using testing::PtySession;
using testing::ShownPictures;

constexpr int kWindowColumns = 91;
constexpr int kWindowRows = 61;
constexpr int kPictureLines = 60;

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// A scratch folder of the test's own, removed with everything in it.
class ScratchFolder : public testing::TempFolder {
public:
    ScratchFolder() : TempFolder("brickstorm-recordings-") {}

    std::string file(const std::string& name, const std::string& text) const {
        std::ofstream(path() + "/" + name, std::ios::binary) << text;
        return path() + "/" + name;
    }
};

// Every picture that the run in `recording` can show, in the order of the run: the one a render
// pass would draw after each tick and after each key, as a UTF-8 terminal shows it.
class PicturesOfTheRun final : public RunWatcher {
public:
    PicturesOfTheRun(const Recording& recording, const std::string& levelText) {
        state_.levels = GameLevels({levelText});
        GameRun run(state_);
        run.watch(*this);
        Replay replay(recording, run);
        EXPECT_EQ(replay.runToEnd(), Replay::Step::Finished) << "out of step at " << replay.outOfStepTick();
    }

    void keyHandled(std::int64_t /*tick*/, int /*code*/, const GameState& /*state*/) override { draw(); }
    void ticked(std::int64_t /*tick*/, bool /*onGameScreen*/, const GameState& /*state*/) override { draw(); }

    // True when `shown`, a terminal's pictures in the order they came, are pictures of the run
    // in its order (a picture may be shown for many ticks, and many ticks go by unseen);
    // otherwise the first one that is not.
    ::testing::AssertionResult inOrder(const std::vector<std::string>& shown) const {
        std::size_t at = 0;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            while (at < pictures_.size() && pictures_[at] != shown[i]) {
                ++at;
            }
            if (at == pictures_.size()) {
                return ::testing::AssertionFailure()
                       << "picture " << i << " of " << shown.size() << " is not the run's at its point:\n"
                       << shown[i];
            }
        }
        return ::testing::AssertionSuccess();
    }

    const std::string& last() const { return pictures_.back(); }

private:
    void draw() {
        testing::RecordingConsole console;
        drawScreens(state_, stateLock_, console);
        if (!console.pages.empty()) {
            std::string picture;
            terminal::appendEncoded(picture, console.lastPage(),
                                    terminal::OutputStyle{terminal::Charset::Utf8, terminal::LineEnd::Lf});
            if (pictures_.empty() || pictures_.back() != picture) {
                pictures_.push_back(picture);
            }
        }
    }

    GameState state_;
    std::mutex stateLock_;
    std::vector<std::string> pictures_;
};

bool isGameFrame(const std::string& picture) {
    return picture.find("Press any key") == std::string::npos &&
           picture.find("GAME OVER") == std::string::npos && picture.find('#') != std::string::npos;
}

// Keeps the processors busy while it lives, as other programs on a loaded machine would.
class BusyMachine {
public:
    explicit BusyMachine(unsigned threads) {
        for (unsigned i = 0; i < threads; ++i) {
            spinners_.emplace_back([this] {
                std::uint64_t spin = 0;
                while (!stop_.load(std::memory_order_relaxed)) {
                    spin = spin * 6364136223846793005ULL + 1;
                }
                sink_.fetch_add(spin, std::memory_order_relaxed);
            });
        }
    }
    ~BusyMachine() {
        stop_ = true;
        for (std::thread& spinner : spinners_) {
            spinner.join();
        }
    }
    BusyMachine(const BusyMachine&) = delete;
    BusyMachine& operator=(const BusyMachine&) = delete;

private:
    std::atomic<bool> stop_{false};
    std::atomic<std::uint64_t> sink_{0};
    std::vector<std::thread> spinners_;
};

// A floor three cells wide, the start at the near middle, an enemy straight ahead at the far end
// and the exit beside it.
constexpr const char* kShortWalk =
    "003 002 006\n"
    "bbb bbb bbb bbb bbb bbb\n"
    "Ee0\n000\n000\n000\n000\n0p0\n";

// Strafes left until the player has fallen off the level.
::testing::AssertionResult strafeToDeath(PtySession& session, ShownPictures& shown) {
    for (int step = 0; step < 4; ++step) {
        session.send("\x1b[D");
        if (waitForPicture(session, shown, testing::showing("GAME OVER"), std::chrono::milliseconds(3000))) {
            return ::testing::AssertionSuccess();
        }
    }
    return ::testing::AssertionFailure() << "never fell";
}

// Plays `level` into a recording: the title, the level screen, a step, turns, a shot, a death by
// falling, the retry and a second fall. The game-over screen is still for well over a second
// before the game is ended, so that the recording holds every picture shown.
std::vector<std::string> recordARun(const std::string& recordingPath, const std::string& level) {
    PtySession::Options options;
    options.program = BRICKSTORM_BINARY;
    options.arguments = {"--record", recordingPath, level};
    PtySession session(options);
    EXPECT_TRUE(session.started());
    ShownPictures shown(kWindowRows, kWindowColumns, kPictureLines);
    EXPECT_TRUE(waitForPicture(session, shown, testing::showing("- Press any key to continue -")))
        << "no title";
    EXPECT_TRUE(pressUntil(session, shown, "x", testing::showing("LEVEL 1"))) << "no level screen";
    EXPECT_TRUE(pressUntil(session, shown, "x", isGameFrame)) << "no game";
    for (const char* key : {"w", "a", "d", "r"}) {
        const std::size_t before = shown.read(session.output()).size();
        session.send(key);
        // The key's action is under way once the picture changes; the next key comes after it.
        session.waitForOutput([&](std::string_view output) { return shown.read(output).size() > before; },
                              std::chrono::milliseconds(1500));
        testing::waitUntilStill(session, shown, std::chrono::milliseconds(300));
    }
    EXPECT_TRUE(strafeToDeath(session, shown));
    EXPECT_TRUE(pressUntil(session, shown, "x", testing::showing("LEVEL 1"))) << "no retry";
    EXPECT_TRUE(pressUntil(session, shown, "x", isGameFrame)) << "no game again";
    EXPECT_TRUE(strafeToDeath(session, shown));
    EXPECT_TRUE(testing::waitUntilStill(session, shown, std::chrono::milliseconds(1600)));
    session.sendSignal(SIGTERM);
    EXPECT_TRUE(session.waitForExit().has_value());
    return shown.read(session.output());
}

class RecordAndReplay : public ::testing::TestWithParam<bool> {};

TEST_P(RecordAndReplay, TheReplayShowsTheRecordedPicturesAtTheirTicks) {
    const ScratchFolder folder;
    const std::string path = folder.path() + "/run.rec";
    const std::string level = folder.file("walk.lvl", kShortWalk);
    std::vector<std::string> recorded;
    {
        std::optional<BusyMachine> busy;
        if (GetParam()) {
            busy.emplace(std::max(2U, std::thread::hardware_concurrency()) * 2);
        }
        recorded = recordARun(path, level);
    }
    const app::RecordingFileResult read = app::readRecordingFile(path);
    ASSERT_TRUE(read.recording) << read.problem;
    // SIGTERM ends the game in order: the recording is closed with its end line.
    EXPECT_TRUE(read.recording->end.has_value()) << "ended by SIGTERM without an end line";

    const PicturesOfTheRun run(*read.recording, std::get<LevelFileLevel>(parseLevelFile(kShortWalk)).text);
    EXPECT_TRUE(run.inOrder(recorded)) << "the recorded session";

    const testing::ProgramRun check = testing::runProgram(BRICKSTORM_BINARY, {"--replay", path, "--check"});
    EXPECT_EQ(check.status, 0) << check.err;
    // The run was played by the clock, so how each attempt ended may vary; two at least did.
    std::size_t deaths = 0;
    for (const char* death : {": fell after ", ": killed after "}) {
        for (auto at = check.out.find(death); at != std::string::npos; at = check.out.find(death, at + 1)) {
            ++deaths;
        }
    }
    EXPECT_GE(deaths, 2U) << check.out;
    EXPECT_NE(check.out.find("in all: 0 levels cleared, " + std::to_string(deaths) + " deaths, "),
              std::string::npos)
        << check.out;

    PtySession::Options options;
    options.program = BRICKSTORM_BINARY;
    options.arguments = {"--replay", path, "--speed", "4"};
    PtySession replay(options);
    ASSERT_TRUE(replay.started());
    ShownPictures shown(kWindowRows, kWindowColumns, kPictureLines);
    ASSERT_TRUE(waitForPicture(
        replay, shown, [&](const std::string& picture) { return picture == run.last(); },
        std::chrono::milliseconds(60000)))
        << "the replay never came to the run's last picture";
    // Keys typed before the end do not reach the game; the first one after it ends the replay.
    std::optional<int> status;
    for (int attempt = 0; attempt < 60 && !status; ++attempt) {
        replay.send("x");
        status = replay.waitForExit(std::chrono::milliseconds(500));
    }
    ASSERT_TRUE(status.has_value()) << "the replay never ended";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
    EXPECT_TRUE(testing::sameSettings(replay.settings(), replay.initialSettings()));
    const std::vector<std::string>& replayed = shown.read(replay.output());
    EXPECT_TRUE(run.inOrder(replayed)) << "the replay";
    for (const char* screen : {"- Press any key to continue -", "LEVEL 1", "GAME OVER"}) {
        EXPECT_TRUE(std::ranges::any_of(replayed, testing::showing(screen))) << screen;
    }
}

INSTANTIATE_TEST_SUITE_P(Machine, RecordAndReplay, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Busy" : "Idle";
                         });

// The run through the first pack of five levels that is kept with the tests (in the first format
// of recordings, which named levels by their bytes), checked by the program, with the copy of
// that pack kept beside it standing in for the recorded names.
TEST(Recordings, TheKeptRunClearsEveryLevelOfThePack) {
    const testing::ProgramRun check = testing::runProgram(
        BRICKSTORM_BINARY, {"--replay", std::string(BRICKSTORM_TEST_DATA) + "/pack.rec", "--check",
                            "--replay-any-version", std::string(BRICKSTORM_TEST_DATA) + "/pack/"});
    EXPECT_EQ(check.status, 0) << check.err;
    EXPECT_EQ(check.err, "");
    std::istringstream lines(check.out);
    std::string line;
    for (int level = 1; level <= 5; ++level) {
        ASSERT_TRUE(std::getline(lines, line));
        EXPECT_TRUE(line.starts_with("level " + std::to_string(level) + ": cleared after ")) << line;
    }
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_TRUE(line.starts_with("in all: 5 levels cleared, 0 deaths, ")) << line;
    EXPECT_FALSE(std::getline(lines, line));
}

// A check of a recording draws nothing, so a terminal that cannot place the cursor (a CI job's,
// an editor's shell) does not stop it.
TEST(Recordings, ACheckDoesNotNeedATerminalThatPlacesTheCursor) {
    PtySession::Options options;
    options.program = BRICKSTORM_BINARY;
    options.arguments = {"--replay", std::string(BRICKSTORM_TEST_DATA) + "/pack.rec", "--check",
                         "--replay-any-version", std::string(BRICKSTORM_TEST_DATA) + "/pack/"};
    options.environment.emplace_back("TERM=dumb");
    PtySession session(options);
    ASSERT_TRUE(session.started());
    const auto status = session.waitForExit();
    ASSERT_TRUE(status.has_value()) << "still running";
    ASSERT_TRUE(WIFEXITED(*status));
    EXPECT_EQ(WEXITSTATUS(*status), 0);
    EXPECT_TRUE(session.waitForOutputContaining("in all: 5 levels cleared")) << session.output();
}

TEST(Recordings, AChangedStateStopsTheCheckAtItsTick) {
    const ScratchFolder folder;
    std::string text = readFile(std::string(BRICKSTORM_TEST_DATA) + "/pack.rec");
    const std::size_t hash = text.find("state 400 ") + 10;
    text[hash] = text[hash] == '0' ? '1' : '0';
    const std::string changed = folder.file("changed.rec", text);
    const testing::ProgramRun check = testing::runProgram(
        BRICKSTORM_BINARY,
        {"--check", "--replay-any-version", "--replay", changed, std::string(BRICKSTORM_TEST_DATA) + "/pack"});
    EXPECT_EQ(check.status, app::kExitReplayOutOfStep);
    EXPECT_TRUE(check.out.starts_with("level 1: cleared after ")) << check.out;
    EXPECT_EQ(check.out.find("in all"), std::string::npos);
    EXPECT_EQ(check.err, "brickstorm: " + changed + ": the replay went out of step at tick 400\n");
}

// A run cut off by a full disk or a killed game has no end line: its check plays it as far as it
// goes and never calls it whole, with a status of its own.
TEST(Recordings, ACheckOfARunCutOffSaysSo) {
    const ScratchFolder folder;
    std::string text = readFile(std::string(BRICKSTORM_TEST_DATA) + "/pack.rec");
    text.erase(text.find('\n', text.find("state 380 ")) + 1);
    const std::string cut = folder.file("cut.rec", text);
    const testing::ProgramRun check = testing::runProgram(
        BRICKSTORM_BINARY,
        {"--check", "--replay-any-version", "--replay", cut, std::string(BRICKSTORM_TEST_DATA) + "/pack"});
    EXPECT_EQ(check.status, 7) << check.err;
    EXPECT_TRUE(check.out.starts_with("level 1: cleared after ")) << check.out;
    EXPECT_NE(check.out.find(": cut off after "), std::string::npos) << check.out;
    EXPECT_EQ(check.out.find("in all"), std::string::npos) << check.out;
    EXPECT_TRUE(check.err.starts_with("brickstorm: " + cut + ": the recording is cut off at tick 380: "))
        << check.err;
}

struct RefusalCase {
    const char* name;
    std::vector<std::string> arguments;  // "@" stands for the scratch folder, "%" for the first pack's
    std::string message;
    int status;
};

class RecordingRefusals : public ::testing::TestWithParam<RefusalCase> {};

// Each refusal comes before the terminal is touched: the terminal is exactly as it was.
TEST_P(RecordingRefusals, LeaveTheTerminalAlone) {
    const ScratchFolder folder;
    folder.file("levels.rec", "001 002 002 bb E p\n");
    folder.file("damaged.rec", "brickstorm-recording 1\nprogram 1.0\nlevels built-in\nstart 1\nkey 5 999\n");
    folder.file("pack.rec", readFile(std::string(BRICKSTORM_TEST_DATA) + "/pack.rec"));
    folder.file("missing.rec",
                "brickstorm-recording 1\nprogram 1.0\nlevel 1 first.lvl 20 0123456789abcdef\n"
                "level 2 no/such\\x1b.lvl 20 0123456789abcdef\nstart 1\n");
    ::mkdir((folder.path() + "/folder.rec").c_str(), 0700);
    // Nodes that are not files, made here and never the machine's own: a device (as /dev/null is,
    // which needs root), a link to it, and a pipe.
    const bool device = ::mknod((folder.path() + "/null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    ::symlink("null", (folder.path() + "/link-to-null").c_str());
    ::mkfifo((folder.path() + "/pipe").c_str(), 0600);
    if (!device && GetParam().message.find("a device") != std::string::npos) {
        GTEST_SKIP() << "no device node can be made here: needs root";
    }
    const auto expand = [&](std::string text) {
        for (const auto& [mark, path] :
             {std::pair{'@', folder.path()}, std::pair{'%', std::string(BRICKSTORM_TEST_DATA) + "/pack"}}) {
            for (auto at = text.find(mark); at != std::string::npos; at = text.find(mark, at + path.size())) {
                text.replace(at, 1, path);
            }
        }
        return text;
    };
    PtySession::Options options;
    options.program = BRICKSTORM_BINARY;
    for (const std::string& argument : GetParam().arguments) {
        options.arguments.push_back(expand(argument));
    }
    PtySession session(options);
    ASSERT_TRUE(session.started());
    const auto status = session.waitForExit();
    ASSERT_TRUE(status.has_value()) << "still running";
    ASSERT_TRUE(WIFEXITED(*status));
    EXPECT_EQ(WEXITSTATUS(*status), GetParam().status);
    EXPECT_TRUE(testing::sameSettings(session.settings(), session.initialSettings()));
    // The program has ended, but the terminal may not have handed over all it wrote yet: the
    // message is waited for, not read at once.
    const auto withoutReturns = [](std::string_view output) {
        std::string text;
        for (const char c : output) {
            if (c != '\r') {
                text += c;
            }
        }
        return text;
    };
    const std::string expected = expand(GetParam().message);
    EXPECT_TRUE(session.waitForOutput([&](std::string_view output) {
        return withoutReturns(output) == expected;
    })) << withoutReturns(session.output());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecordingRefusals,
    ::testing::Values(
        RefusalCase{
            "NotARecording",
            {"--replay", "@/levels.rec"},
            "brickstorm: @/levels.rec:1: not a recording: it does not begin with 'brickstorm-recording'\n",
            app::kExitRecordingError},
        RefusalCase{
            "DamagedLine",
            {"--replay", "@/damaged.rec"},
            "brickstorm: @/damaged.rec:5: damaged line 'key 5 999': expected 'key TICK CODE' or 'key TICK "
            "PREFIX CODE', a tick from 0 to 999999999, codes from 0 to 255 and a prefix 0 or 224\n",
            app::kExitRecordingError},
        RefusalCase{"MissingLevelFiles",
                    {"--replay", "@/missing.rec", "--replay-any-version"},
                    "brickstorm: @/missing.rec:3: level file 'first.lvl' is missing\n"
                    "brickstorm: @/missing.rec:4: level file 'no/such\\x1b.lvl' is missing\n",
                    1},
        RefusalCase{
            "OtherLevelFiles",
            {"--replay", "@/pack.rec", "--replay-any-version", "%/05-the-keep.lvl", "%/02-the-narrow-way.lvl",
             "%/03-the-stairs.lvl", "%/04-the-yard.lvl", "%/05-the-keep.lvl"},
            "brickstorm: @/pack.rec:3: level file '%/05-the-keep.lvl' has changed since the recording\n",
            1},
        RefusalCase{"NoSuchRecording",
                    {"--replay", "@/none.rec"},
                    "brickstorm: @/none.rec: no such file\n",
                    app::kExitRecordingError},
        RefusalCase{
            "RecordIntoAMissingFolder",
            {"--record", "@/no/such/folder/run.rec"},
            "brickstorm: @/no/such/folder/run.rec: cannot create the new file beside it: No such file or "
            "directory\n",
            app::kExitRecordingError},
        RefusalCase{"RecordOntoADevice",
                    {"--record", "@/null"},
                    "brickstorm: @/null: a device, not a regular file: a recording is only written to a "
                    "regular file\n",
                    app::kExitRecordingError},
        RefusalCase{"RecordThroughALinkToADevice",
                    {"--record", "@/link-to-null"},
                    "brickstorm: @/link-to-null: a device, not a regular file: a recording is only written to "
                    "a regular file\n",
                    app::kExitRecordingError},
        RefusalCase{"RecordOntoAPipe",
                    {"--record", "@/pipe"},
                    "brickstorm: @/pipe: a pipe, not a regular file: a recording is only written to a regular "
                    "file\n",
                    app::kExitRecordingError},
        RefusalCase{
            "LevelWithReplay",
            {"--replay", "@/pack.rec", "--level", "2"},
            "brickstorm: --level cannot go with --replay: the recording says where its run starts (see "
            "'brickstorm --help')\n",
            2}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.name); });

// An existing recording is replaced whole, and a recording into a folder is refused: the old
// file stays as it was until the new one has its header.
TEST(Recordings, AnExistingFileIsReplaced) {
    const ScratchFolder folder;
    const std::string path = folder.file("run.rec", "an old recording\n");
    PtySession::Options options;
    options.program = BRICKSTORM_BINARY;
    options.arguments = {"--record", path};
    PtySession session(options);
    ASSERT_TRUE(session.started());
    ASSERT_TRUE(session.waitForOutputContaining("- Press any key to continue -"));
    EXPECT_TRUE(readFile(path).starts_with("brickstorm-recording 2\nprogram ")) << readFile(path);
    session.sendSignal(SIGTERM);
    EXPECT_TRUE(session.waitForExit().has_value());

    const testing::ProgramRun intoFolder = testing::runProgram(BRICKSTORM_BINARY, {"--record", folder.path()});
    EXPECT_EQ(intoFolder.status, app::kExitRecordingError);
    EXPECT_TRUE(intoFolder.err.starts_with("brickstorm: " + folder.path() + ": ")) << intoFolder.err;
}

}  // namespace
}  // namespace brickstorm
