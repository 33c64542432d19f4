// Natively the launcher becomes its child: the caller's pid is the child's,
// signals reach the child untouched (ignored ones stay ignored), the caller
// sees the child's own exit or death by a signal, and nothing is left running.
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

// The launcher started with the probe and `arguments`, after the caller
// ignored `ignored` (on a new terminal with `terminal`). Ended, if still
// running, when the test is done with it.
class Launched {
 public:
  Launched(const std::vector<std::string>& arguments, const std::vector<int>& ignored,
           int* terminal = nullptr) {
    std::vector<std::string> words = {TOOLRUN_PATH, PROBE_PATH};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(&w[0]);
    argv.push_back(nullptr);
    pid_ = terminal != nullptr ? forkpty(terminal, nullptr, nullptr, nullptr) : fork();
    if (pid_ == 0) {
      for (int s : ignored) signal(s, SIG_IGN);
      execv(argv[0], argv.data());
      _exit(126);
    }
  }
  ~Launched() {
    if (status_.empty()) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  pid_t pid() const { return pid_; }

  // "exit N" or "signal N" once it has ended, "running" if it has not
  // within a bounded wait.
  std::string status() {
    for (unsigned waited = 0; status_.empty() && waited < kPatienceMs; waited += 10) {
      int status = 0;
      const pid_t done = waitpid(pid_, &status, WNOHANG);
      if (done == pid_) {
        status_ = WIFSIGNALED(status) ? "signal " + std::to_string(WTERMSIG(status))
                                      : "exit " + std::to_string(WEXITSTATUS(status));
      } else {
        usleep(10000);
      }
    }
    return status_.empty() ? "running" : status_;
  }

 private:
  pid_t pid_;
  std::string status_;
};

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

  std::string value(const std::string& key) {
    const std::string r = report();
    const size_t at = r.find(key + "=");
    return at == std::string::npos ? "" : r.substr(at + key.size() + 1, r.find('\n', at) - at - key.size() - 1);
  }

  // Waits (a bounded while) until the probe says it is ready; returns its pid.
  pid_t wait_until_ready() {
    for (int i = 0; i < 1000 && report().find("ready=1") == std::string::npos; ++i) usleep(10000);
    EXPECT_NE(std::string::npos, report().find("ready=1")) << report();
    return static_cast<pid_t>(atol(value("pid").c_str()));
  }

  static bool running(pid_t pid) { return kill(pid, 0) == 0 || errno != ESRCH; }

  std::string dir_, report_path_;
};

struct SignalCase {
  int signal_number;
  const char* mode;  // the probe's: trap catches, wait takes the default action
  const char* seen;  // what the caller sees
};

class LauncherSignalCaseTest : public LauncherSignalTest,
                               public testing::WithParamInterface<SignalCase> {};

TEST_P(LauncherSignalCaseTest, TheLaunchersPidIsTheChildsAndItsEndIsTheChilds) {
  const SignalCase& c = GetParam();
  Launched launcher({c.mode}, {});
  ASSERT_EQ(launcher.pid(), wait_until_ready()) << "the child is a second process";
  kill(launcher.pid(), c.signal_number);

  EXPECT_EQ(c.seen, launcher.status()) << report();
  EXPECT_FALSE(running(launcher.pid()));
  if (std::string(c.mode) == "trap") {
    const std::string line = "signal=" + std::to_string(c.signal_number) + "\n";
    const std::string r = report();
    EXPECT_EQ(r.find(line), r.rfind(line)) << "delivered twice:\n" << r;
    EXPECT_NE(std::string::npos, r.find(line)) << r;
  }
}

INSTANTIATE_TEST_SUITE_P(Signals, LauncherSignalCaseTest,
                         testing::Values(SignalCase{SIGINT, "trap", "exit 42"},
                                         SignalCase{SIGTERM, "trap", "exit 55"},
                                         SignalCase{SIGHUP, "trap", "exit 41"},
                                         SignalCase{SIGQUIT, "trap", "exit 43"},
                                         SignalCase{SIGINT, "wait", "signal 2"},
                                         SignalCase{SIGTERM, "wait", "signal 15"},
                                         SignalCase{SIGHUP, "wait", "signal 1"},
                                         SignalCase{SIGQUIT, "wait", "signal 3"},
                                         SignalCase{SIGKILL, "wait", "signal 9"}));

struct InheritedCase {
  const char* name;
  std::vector<int> ignored;  // by the launcher's caller
  const char* exit_status;
  const char* child_ignores;
};

class LauncherInheritedTest : public LauncherSignalTest,
                              public testing::WithParamInterface<InheritedCase> {};

// What the caller set up reaches the child: a `nohup` or `trap '' ...` keeps
// protecting it, and an ignored SIGCHLD does not lose its status.
TEST_P(LauncherInheritedTest, CallersDispositionsReachTheChild) {
  const InheritedCase& c = GetParam();
  Launched launcher({std::string("exit=") + c.exit_status}, c.ignored);
  EXPECT_EQ(std::string("exit ") + c.exit_status, launcher.status()) << report();
  EXPECT_EQ(c.child_ignores, value("ignored")) << report();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LauncherInheritedTest,
    testing::Values(InheritedCase{"IgnoredSignalsStayIgnored", {SIGHUP, SIGINT, SIGQUIT}, "0", "1,2,3"},
                    InheritedCase{"IgnoredChildSignal", {SIGCHLD}, "7", ""}),
    [](const testing::TestParamInfo<InheritedCase>& info) { return info.param.name; });

// On a terminal the child reads its input as usual, and Ctrl+C reaches it
// from the terminal itself, once.
TEST_F(LauncherSignalTest, ChildOnATerminalReadsAndGetsCtrlC) {
  int terminal = -1;
  Launched launcher({"read", "trap"}, {}, &terminal);
  ASSERT_GE(launcher.pid(), 0);
  ASSERT_EQ(6, write(terminal, "hello\n", 6));
  wait_until_ready();
  ASSERT_EQ(1, write(terminal, "\x03", 1));

  EXPECT_EQ("exit 42", launcher.status()) << report();
  const std::string r = report();
  EXPECT_NE(std::string::npos, r.find("read=hello\n")) << r;
  EXPECT_EQ(r.find("signal=2\n"), r.rfind("signal=2\n")) << r;
  close(terminal);
}

}  // namespace
