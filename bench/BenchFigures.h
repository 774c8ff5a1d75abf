// Shared by the engine benchmarks: latency samples, their percentiles, and small
// loopback helpers for the machine-limit measurements taken in the same run.
#ifndef TESMO_BENCH_BENCHFIGURES_H
#define TESMO_BENCH_BENCHFIGURES_H

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using BenchClock = std::chrono::steady_clock;

inline double MicrosSince(BenchClock::time_point start) {
  return std::chrono::duration<double, std::micro>(BenchClock::now() - start).count();
}

// Latency samples in microseconds.
class Samples {
 public:
  void Add(double us) { m_values.push_back(us); }
  size_t Count() const { return m_values.size(); }
  // The value below which the given fraction of samples lies (nearest rank).
  double Percentile(double fraction) const {
    if (m_values.empty()) return 0;
    std::vector<double> sorted = m_values;
    std::sort(sorted.begin(), sorted.end());
    size_t rank = static_cast<size_t>(fraction * static_cast<double>(sorted.size()));
    if (rank >= sorted.size()) rank = sorted.size() - 1;
    return sorted[rank];
  }
  double Median() const { return Percentile(0.5); }
  double P99() const { return Percentile(0.99); }

 private:
  std::vector<double> m_values;
};

inline void PrintSamples(const char* name, const Samples& s) {
  std::printf("%-44s n=%-6zu median %9.1f us   p99 %9.1f us\n", name, s.Count(), s.Median(),
              s.P99());
}

#endif
