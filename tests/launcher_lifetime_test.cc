// On Windows the child's whole tree lives and dies with the launcher: ended
// from outside, the launcher takes the child and all it started along; once
// the child ends by itself, what it left running lives on. And an interrupt
// on the console leaves the launcher waiting for its child.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "test_support.h"

namespace fs = std::filesystem;

namespace {

class LauncherLifetimeTest : public testing::Test {
 protected:
  void SetUp() override {
    base_ = unused_temp_path("toolrun-lifetime");
    const std::string bin = sep(sep(base_, "gcc"), "bin");
    fs::create_directories(bin);
    toolrun_ = sep(bin, exe("toolrun"));
    fs::copy_file(native_path(TOOLRUN_PATH), toolrun_);
    fs::copy_file(native_path(PROBE_PATH), sep(bin, exe("probe")));
    report_path_ = sep(base_, "report.txt");
    set_variable("PROBE_REPORT", report_path_.c_str());
  }

  void TearDown() override {
    for (const char* key : {"pid", "spawned"}) {
      const std::string pid = report(report_path_)[key];
      if (!pid.empty()) end_process(std::stoul(pid));
    }
    std::error_code ignored;
    fs::remove_all(base_, ignored);
  }

  // The first value of each key in a report.
  static std::map<std::string, std::string> report(const std::string& path) {
    std::map<std::string, std::string> first;
    for (const auto& value : read_report(path)) first.insert(value);
    return first;
  }

  // Waits a bounded while for `key` to appear in the report at `path`.
  static std::string await(const std::string& path, const std::string& key) {
    for (unsigned waited = 0; waited < kPatienceMs; waited += 10) {
      const std::map<std::string, std::string> values = report(path);
      if (values.count(key) != 0) return values.at(key);
      sleep_ms(10);
    }
    return "";
  }

  // Waits a bounded while for the process to end.
  static bool ends_soon(unsigned long pid) {
    for (int i = 0; i < 300 && process_running(pid); ++i) sleep_ms(10);
    return !process_running(pid);
  }

  static bool appears_soon(const std::string& path) {
    for (unsigned waited = 0; waited < kPatienceMs && !fs::exists(path); waited += 10) sleep_ms(10);
    return fs::exists(path);
  }

  std::string base_, toolrun_, report_path_;
};

struct EndedCase {
  const char* name;
  const char* spawn;       // how the child starts its grandchild
  bool grandchild_lives;   // after the launcher is ended from outside
};

class LauncherEndedTest : public LauncherLifetimeTest,
                          public testing::WithParamInterface<EndedCase> {};

// TerminateProcess, as an editor's Stop button, taskkill /F or a runtime's
// kill() do it. The child and its grandchild would each write a marker file
// after two seconds if they lived that long.
TEST_P(LauncherEndedTest, EndingTheLauncherEndsTheTreeButWhatBrokeAway) {
  const std::string child_mark = sep(base_, "child-mark"),
                    grandchild_mark = sep(base_, "grandchild-mark");
  StartedProgram launcher({toolrun_, "probe",
                           std::string(GetParam().spawn) + "=sleep=2000,mark=" + grandchild_mark,
                           "sleep=2000", "mark=" + child_mark},
                          base_);
  const std::string child = await(report_path_, "spawned").empty() ? "" : report(report_path_)["pid"];
  const std::string grandchild = await(report_path_ + "-grandchild", "pid");
  ASSERT_NE("", child);
  ASSERT_NE("", grandchild);

  launcher.end();
  EXPECT_TRUE(ends_soon(std::stoul(child)));
  if (GetParam().grandchild_lives) {
    EXPECT_TRUE(process_running(std::stoul(grandchild)));
    EXPECT_TRUE(appears_soon(grandchild_mark));
  } else {
    EXPECT_TRUE(ends_soon(std::stoul(grandchild)));
    sleep_ms(2500);  // past the time the markers would have been written
    EXPECT_FALSE(fs::exists(grandchild_mark));
  }
  EXPECT_FALSE(fs::exists(child_mark));
  end_process(std::stoul(grandchild));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LauncherEndedTest,
    testing::Values(EndedCase{"GrandchildEndsWithIt", "spawn", false},
                    EndedCase{"GrandchildThatBrokeAwayLivesOn", "breakaway", true}),
    [](const testing::TestParamInfo<EndedCase>& info) { return info.param.name; });

// A child that ends by itself leaves what it started running, as a program
// started with `start` is meant to outlive the command that started it.
TEST_F(LauncherLifetimeTest, WhatTheChildLeftRunningOutlivesTheLauncher) {
  const std::string grandchild_mark = sep(base_, "grandchild-mark");
  RunResult r = run_program(
      {toolrun_, "probe", "spawn=sleep=1500,mark=" + grandchild_mark, "exit=5"}, base_);
  ASSERT_EQ(5u, r.status) << r.output << r.errors;
  const std::string grandchild = report(report_path_)["spawned"];
  ASSERT_NE("", grandchild);
  EXPECT_TRUE(process_running(std::stoul(grandchild)));
  EXPECT_TRUE(appears_soon(grandchild_mark));
}

// Ctrl+C reaches every process on the console. The child leads a group of
// its own, which ignores Ctrl+C; the launcher lives through it and exits
// with the child's own status once the child has ended. (Passing it on as
// Ctrl+Break cannot be seen here: Wine does not deliver Ctrl+Break.)
TEST_F(LauncherLifetimeTest, CtrlCLeavesTheLauncherWaitingForItsChild) {
  StartedProgram helper({native_path(CONSOLE_INTERRUPT_PATH), toolrun_, "probe", "events",
                         "sleep=1500", "exit=7"},
                        base_, {Output::kFile, /*new_console=*/true});
  ASSERT_TRUE(helper.wait(kPatienceMs));
  std::map<std::string, std::string> seen = report(report_path_);
  ASSERT_EQ("0", seen["helper_event"]) << "the Ctrl+C never went out: " << seen["helper_error"];
  EXPECT_EQ(7u, helper.result().status) << helper.result().output << helper.result().errors;
  EXPECT_EQ(0u, seen.count("event")) << "the child saw event " << seen["event"];
}

}  // namespace
