#include "launch_bench.h"

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double fastest(const std::vector<double>& values) {
  return *std::min_element(values.begin(), values.end());
}

void run_in_turn(std::vector<Way>& ways, int runs, const std::string& directory) {
  for (int i = 0; i < runs; ++i) {
    for (Way& way : ways) {
      unsigned long status = 0;
      way.micros.push_back(time_one_launch(way, directory, status));
      if (status != 0) {
        fprintf(stderr, "%s: exit status %lu\n", way.name, status);
        exit(1);
      }
    }
  }
  printf("%d runs each, alternating\n\n", runs);
  printf("| way | median wall time (us) | fastest (us) |\n|---|---:|---:|\n");
  for (const Way& way : ways) {
    printf("| %s | %.0f | %.0f |\n", way.name, median(way.micros), fastest(way.micros));
  }
  printf("\n");
}

void check_usage(int argc, char** argv) {
  if (argc == 3) return;
  fprintf(stderr, "usage: %s PACKAGE_TOP RUNS\n", argv[0]);
  exit(2);
}
