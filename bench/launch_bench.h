// The launch benchmarks' shared part: ways to start a trivial child, timed
// in turn many times so that drift hits all alike; medians in a table.
#ifndef BENCH_LAUNCH_BENCH_H_
#define BENCH_LAUNCH_BENCH_H_

#include <string>
#include <vector>

struct Way {
  const char* name;
  std::vector<std::string> words;  // the program, then its arguments
  std::vector<double> micros;      // wall time of each run
};

// Starts `way` once from `directory` and waits for it; returns the wall time
// in microseconds, and the exit status in `status`. One file per platform
// implements it.
double time_one_launch(const Way& way, const std::string& directory, unsigned long& status);

// Ends the program with a usage line unless it has PACKAGE_TOP and RUNS.
void check_usage(int argc, char** argv);

// Runs every way `runs` times, in turn, and prints the table of medians.
// Ends the program when a launch does not exit 0.
void run_in_turn(std::vector<Way>& ways, int runs, const std::string& directory);

double median(std::vector<double> values);
// Wine's process starts vary widely from run to run; the fastest shows the
// cost of the way itself.
double fastest(const std::vector<double>& values);

#endif  // BENCH_LAUNCH_BENCH_H_
