// toolrun: runs one command with the toolchain's bin and libexec directories
// as the whole search path, from the bin directory, with arguments that name
// existing files in their short form. Prints nothing, ever.
#include "launcher_platform.h"

int run_launcher(const LauncherArguments& arguments) {
  if (arguments.count < 1 || arguments.words[0] == nullptr) return kNoChildStatus;

  // Arguments are converted before any change of directory, so relative names
  // are looked up where the caller stands.
  const ShortFormConversion conversion = {convert_to_short_form,
                                          const_cast<LauncherArguments*>(&arguments)};
  ChildCommandLine command_line;
  size_t program_length = 0;
  if (!build_child_command_line(arguments.count - 1, arguments.words + 1, conversion,
                                command_line, &program_length)) {
    return kNoChildStatus;
  }
  // The launcher drops the caller's quotes, so a batch file's arguments
  // could make cmd.exe run another command.
  if (kBatchFilesReadTheirLineAsACommand && is_unsafe_batch_line(command_line, program_length)) {
    return kNoChildStatus;
  }

  LauncherPath root;
  if (!derive_toolchain_root(arguments.words[0], root)) return kNoChildStatus;
  ShortForm short_root;
  const char* toolchain_root = convert_root_to_short_form(arguments, root.c_str(), short_root)
                                   ? short_root.c_str()
                                   : root.c_str();

  ToolchainPaths paths;
  if (!compose_toolchain_paths(toolchain_root, kPathStyle, paths)) return kNoChildStatus;
  change_directory(paths.bin_directory.c_str());
  set_search_path(paths.search_path.c_str());

  return run_child(command_line);
}
