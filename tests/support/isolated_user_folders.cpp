// Every test process gets settings and state folders of its own, in a scratch folder removed at
// the end: no test, and no program a test starts (which inherits the environment), reads the
// developer's configuration file or writes into their progress.
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace {

class IsolatedUserFolders : public ::testing::Environment {
public:
    void SetUp() override {
        char pattern[] = "/tmp/brickstorm-home-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) {
            FAIL() << "no scratch folder for the settings and state folders";
        }
        folder_ = pattern;
        ::setenv("XDG_CONFIG_HOME", (folder_ + "/config").c_str(), 1);
        ::setenv("XDG_STATE_HOME", (folder_ + "/state").c_str(), 1);
    }

    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

private:
    std::string folder_;
};

// Registered before main runs, as GoogleTest's own main takes no part in it.
const ::testing::Environment* const kIsolated = ::testing::AddGlobalTestEnvironment(new IsolatedUserFolders);

}  // namespace
