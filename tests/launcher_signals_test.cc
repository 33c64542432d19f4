// Natively, the launcher lives through the signals that would end it, passes
// those sent to it alone on to the child, waits, and leaves with the child's
// status: no child is left running behind it.
#include <errno.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

class LauncherSignalTest : public testing::Test {
 protected:
  void SetUp() override {
    char dir[] = "/tmp/toolrun-signals-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(dir));
    dir_ = dir;
    report_path_ = dir_ + "/report.txt";
    set_variable("PROBE_REPORT", report_path_.c_str());
  }
  void TearDown() override { system(("rm -rf '" + dir_ + "'").c_str()); }

  std::string report() {
    std::ifstream in(report_path_);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
  }

  // Waits (a bounded while) until the probe says it is ready; returns its pid.
  pid_t wait_until_ready() {
    for (int i = 0; i < 1000 && report().find("ready=1") == std::string::npos; ++i) usleep(10000);
    const std::string r = report();
    EXPECT_NE(std::string::npos, r.find("ready=1")) << r;
    return static_cast<pid_t>(atol(r.c_str() + r.find("pid=") + 4));
  }

  static int wait_for_status(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
  }

  static bool running(pid_t pid) { return kill(pid, 0) == 0 || errno != ESRCH; }

  std::string dir_, report_path_;
};

struct SignalCase {
  int signal_number;
  const char* mode;  // the probe's: trap catches, wait takes the default action
  int launcher_status;
};

class LauncherForwardTest : public LauncherSignalTest,
                            public testing::WithParamInterface<SignalCase> {};

TEST_P(LauncherForwardTest, SignalToTheLauncherReachesTheChildOnce) {
  const SignalCase& c = GetParam();
  const pid_t launcher = fork();
  if (launcher == 0) {
    execl(TOOLRUN_PATH, TOOLRUN_PATH, PROBE_PATH, c.mode, static_cast<char*>(nullptr));
    _exit(126);
  }
  const pid_t child = wait_until_ready();
  ASSERT_GT(child, 0);
  kill(launcher, c.signal_number);

  EXPECT_EQ(c.launcher_status, wait_for_status(launcher)) << report();
  EXPECT_FALSE(running(child));
  if (std::string(c.mode) == "trap") {
    const std::string line = "signal=" + std::to_string(c.signal_number) + "\n";
    const std::string r = report();
    EXPECT_EQ(r.find(line), r.rfind(line)) << "delivered twice:\n" << r;
    EXPECT_NE(std::string::npos, r.find(line)) << r;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Signals, LauncherForwardTest,
    testing::Values(SignalCase{SIGINT, "trap", 40 + SIGINT},
                    SignalCase{SIGTERM, "trap", 40 + SIGTERM},
                    SignalCase{SIGHUP, "trap", 40 + SIGHUP},
                    SignalCase{SIGQUIT, "trap", 40 + SIGQUIT},
                    SignalCase{SIGINT, "wait", 128 + SIGINT},
                    SignalCase{SIGTERM, "wait", 128 + SIGTERM},
                    SignalCase{SIGHUP, "wait", 128 + SIGHUP},
                    SignalCase{SIGQUIT, "wait", 128 + SIGQUIT}));

// On a terminal the child reads its input as usual, and Ctrl+C reaches it
// from the terminal itself, once; the launcher waits and passes its status on.
TEST_F(LauncherSignalTest, ChildOnATerminalReadsAndGetsCtrlC) {
  int terminal;
  const pid_t launcher = forkpty(&terminal, nullptr, nullptr, nullptr);
  ASSERT_GE(launcher, 0);
  if (launcher == 0) {
    execl(TOOLRUN_PATH, TOOLRUN_PATH, PROBE_PATH, "read", "trap", static_cast<char*>(nullptr));
    _exit(126);
  }
  ASSERT_EQ(6, write(terminal, "hello\n", 6));
  wait_until_ready();
  ASSERT_EQ(1, write(terminal, "\x03", 1));

  EXPECT_EQ(40 + SIGINT, wait_for_status(launcher)) << report();
  const std::string r = report();
  EXPECT_NE(std::string::npos, r.find("read=hello\n")) << r;
  EXPECT_EQ(r.find("signal=2\n"), r.rfind("signal=2\n")) << r;
  close(terminal);
}

}  // namespace
