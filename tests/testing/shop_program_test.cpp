// The glyphoria-shop program: prints its address first, serves, and ends
// cleanly on SIGTERM.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <chrono>
#include <cstdio>

#include "tests/testing/standin_test_support.h"

extern char** environ;

namespace glyphoria::testing::standin {
namespace {

class ShopProgram {
  public:
    explicit ShopProgram(std::vector<std::string> args) {
        int fds[2];
        if (pipe(fds) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        args.insert(args.begin(), GLYPHORIA_SHOP_PROGRAM);
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, GLYPHORIA_SHOP_PROGRAM, &actions, nullptr, argv.data(), environ) !=
            0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        out_ = fdopen(fds[0], "r");
    }
    ~ShopProgram() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (out_) fclose(out_);
    }

    std::string ReadLine() {
        char line[4096];
        if (!out_ || !fgets(line, sizeof line, out_)) return {};
        std::string text = line;
        if (!text.empty() && text.back() == '\n') text.pop_back();
        return text;
    }

    // The exit status after SIGTERM, or -1.
    int Terminate() {
        if (pid_ <= 0) return -1;
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

  private:
    pid_t pid_ = -1;
    FILE* out_ = nullptr;
};

TEST(ShopProgramTest, PrintsItsAddressFirstAndServesTheRenderer) {
    ShopProgram program({"--port", "0"});
    std::string base = program.ReadLine();
    ASSERT_EQ(base.rfind("http://127.0.0.1:", 0), 0u) << base;
    EXPECT_EQ(program.ReadLine().rfind("https https://127.0.0.1:", 0), 0u);
    EXPECT_EQ(program.ReadLine().rfind("certificate /", 0), 0u);
    EXPECT_EQ(program.ReadLine().rfind("font 1001 TeXGyreTermes-Regular /", 0), 0u);

    HttpAnswer answer = Get(base,
                            "/render?imagetype=typeit&shopid=1001&Width=321&Height=45&"
                            "TextSize=24&TextColor=%23000000&BgColor=transparent&"
                            "RenderText=Hi");
    ASSERT_EQ(answer.status, 200) << answer.error << answer.body;
    auto size = PngHeaderSize(answer.body);
    ASSERT_TRUE(size.has_value());
    EXPECT_EQ(size->first, 321u);
    EXPECT_EQ(size->second, 45u);
    EXPECT_EQ(program.Terminate(), 0);
}

// A far shop from the command line: renders wait their latency, downloads
// come at the rate (lower bounds: a busy machine may be slower still).
TEST(ShopProgramTest, LatencyAndRateFromTheCommandLine) {
    ShopProgram program({"--no-https", "--render-latency", "250", "--rate", "200"});
    const std::string base = program.ReadLine();
    ASSERT_EQ(base.rfind("http://127.0.0.1:", 0), 0u) << base;
    using Clock = std::chrono::steady_clock;
    Clock::time_point start = Clock::now();
    EXPECT_EQ(
        Get(base, "/render?imagetype=typeit&shopid=1001&Width=20&Height=10&TextSize=9").status,
        200);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(250));
    start = Clock::now();
    HttpAnswer paced = Get(base, "/download/ok/x.zip?ids=1005");
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    ASSERT_TRUE(paced.complete) << paced.error;
    EXPECT_GE(seconds, (static_cast<double>(paced.body.size()) - 4000) / 200000);
    EXPECT_EQ(program.Terminate(), 0);
    for (const char* bad : {"--rate", "--render-latency"}) {
        ShopProgram refused({bad, "soon"});
        EXPECT_EQ(refused.ReadLine(), "") << bad;
    }
}

}  // namespace
}  // namespace glyphoria::testing::standin
