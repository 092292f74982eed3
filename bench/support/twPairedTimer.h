// Times two jobs in turns within one benchmark loop, so load from other work
// on the machine falls on both alike; reports first / second as ratios.
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>

namespace bench {

// CPU time of the calling thread: on a loaded machine a steadier figure than
// the wall clock, which also counts the time other processes ran.
inline double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

}  // namespace bench

class TwPairedTimer {
 public:
  // Runs both jobs once; returns the first one's wall-clock seconds.
  template <class First, class Second>
  double Run(First&& first, Second&& second) {
    const auto r0 = std::chrono::steady_clock::now();
    const double c0 = bench::CpuSeconds();
    first();
    const auto r1 = std::chrono::steady_clock::now();
    const double c1 = bench::CpuSeconds();
    second();
    const auto r2 = std::chrono::steady_clock::now();
    const double c2 = bench::CpuSeconds();
    const double firstReal = std::chrono::duration<double>(r1 - r0).count();
    firstReal_ += firstReal;
    secondReal_ += std::chrono::duration<double>(r2 - r1).count();
    firstCpu_ += c1 - c0;
    secondCpu_ += c2 - c1;
    return firstReal;
  }

  void Report(benchmark::State& st) const {
    st.counters["real_ratio"] = secondReal_ > 0 ? firstReal_ / secondReal_ : 0;
    st.counters["cpu_ratio"] = secondCpu_ > 0 ? firstCpu_ / secondCpu_ : 0;
  }

  // Totals over every Run, in seconds.
  double FirstReal() const { return firstReal_; }
  double SecondReal() const { return secondReal_; }
  double FirstCpu() const { return firstCpu_; }
  double SecondCpu() const { return secondCpu_; }

 private:
  double firstReal_ = 0, firstCpu_ = 0, secondReal_ = 0, secondCpu_ = 0;
};
