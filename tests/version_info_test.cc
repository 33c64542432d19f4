// Each Windows program carries the version resource that Explorer's
// properties and version tools read.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace {

struct Program {
  const char* path;
  const char* name;
  const char* description;
};

class VersionInfoTest : public testing::TestWithParam<Program> {};

std::string string_value(std::vector<char>& data, const char* name) {
  char* value = nullptr;
  UINT length = 0;
  const std::string key = std::string("\\StringFileInfo\\040904E4\\") + name;
  if (!VerQueryValueA(data.data(), key.c_str(), reinterpret_cast<void**>(&value), &length)) {
    return "(none)";
  }
  return std::string(value);
}

TEST_P(VersionInfoTest, NamesTheProgramAndTheProjectVersion) {
  const std::string path = native_path(GetParam().path);
  DWORD ignored = 0;
  std::vector<char> data(GetFileVersionInfoSizeA(path.c_str(), &ignored));
  ASSERT_FALSE(data.empty()) << path;
  ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));

  EXPECT_EQ(PROJECT_VERSION, string_value(data, "ProductVersion"));
  EXPECT_EQ(PROJECT_VERSION, string_value(data, "FileVersion"));
  EXPECT_EQ(GetParam().description, string_value(data, "FileDescription"));
  EXPECT_EQ(std::string(GetParam().name) + ".exe", string_value(data, "OriginalFilename"));
  EXPECT_EQ(PRODUCT_NAME, string_value(data, "ProductName"));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  const std::string numeric = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                              std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                              std::to_string(HIWORD(fixed->dwFileVersionLS));
  EXPECT_EQ(PROJECT_VERSION, numeric);
}

INSTANTIATE_TEST_SUITE_P(
    Programs, VersionInfoTest,
    testing::Values(Program{TOOLRUN_PATH, "toolrun", "Toolchain launcher"},
                    Program{MKSHORTCUTS_PATH, "mkshortcuts", "Shortcut installer"}),
    [](const testing::TestParamInfo<Program>& info) { return std::string(info.param.name); });

}  // namespace
