#include "test_support.h"

#include <filesystem>
#include <fstream>

std::string unused_temp_path(const std::string& prefix) {
  static int counter;
  const std::string name = prefix + "-" + std::to_string(process_id()) + "-" + std::to_string(++counter);
  const std::filesystem::path path = std::filesystem::temp_directory_path() / name;
  // What a run that was ended half-way left under the same process id.
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
  return path.string();
}

RunResult run_program(const std::vector<std::string>& words, const std::string& directory,
                      const StartOptions& options) {
  StartedProgram program(words, directory, options);
  if (!program.wait(kPatienceMs)) program.end();
  return program.result();
}

std::multimap<std::string, std::string> read_report(const std::string& path) {
  std::multimap<std::string, std::string> values;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    const size_t eq = line.find('=');
    values.insert({line.substr(0, eq), line.substr(eq + 1)});
  }
  return values;
}
