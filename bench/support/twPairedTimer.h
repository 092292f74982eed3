// Times two jobs in turns within one benchmark loop, so load from other work
// on the machine falls on both alike; reports first / second as ratios.
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>

class TwPairedTimer {
 public:
  template <class First, class Second>
  void Run(First&& first, Second&& second) {
    const auto r0 = std::chrono::steady_clock::now();
    const double c0 = ThreadCpuSeconds();
    first();
    const auto r1 = std::chrono::steady_clock::now();
    const double c1 = ThreadCpuSeconds();
    second();
    const auto r2 = std::chrono::steady_clock::now();
    const double c2 = ThreadCpuSeconds();
    firstReal_ += std::chrono::duration<double>(r1 - r0).count();
    secondReal_ += std::chrono::duration<double>(r2 - r1).count();
    firstCpu_ += c1 - c0;
    secondCpu_ += c2 - c1;
  }

  void Report(benchmark::State& st) const {
    st.counters["real_ratio"] = secondReal_ > 0 ? firstReal_ / secondReal_ : 0;
    st.counters["cpu_ratio"] = secondCpu_ > 0 ? firstCpu_ / secondCpu_ : 0;
  }

  static double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
  }

 private:
  double firstReal_ = 0, firstCpu_ = 0, secondReal_ = 0, secondCpu_ = 0;
};
