#include "test_support.h"

#include <filesystem>

std::string unused_temp_path(const std::string& prefix) {
  static int counter;
  const std::string name = prefix + "-" + std::to_string(process_id()) + "-" + std::to_string(++counter);
  return (std::filesystem::temp_directory_path() / name).string();
}
