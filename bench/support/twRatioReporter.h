#pragma once
// Ratios of benchmark times against a named baseline of the same run, given
// through whatever reporters Google Benchmark's flags ask for: each measured
// run gains a "ratio" counter (its real time over the baseline's), so the
// console, JSON and CSV outputs and the --benchmark_out file all carry it; a
// console run also prints the ratios as a table after the run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace twbench {

// A measured benchmark and the baseline it is compared with.
using TRatioPairs = std::vector<std::pair<std::string, std::string>>;

class TRatioReporter : public benchmark::BenchmarkReporter {
 public:
  TRatioReporter(benchmark::BenchmarkReporter* inner, const TRatioPairs& pairs, std::string title)
      : inner_(inner), title_(std::move(title)) {
    for (const auto& [measured, baseline] : pairs) {
      order_.push_back(measured);
      baselineOf_[measured] = baseline;
    }
  }

  bool ReportContext(const Context& context) override {
    // The library hands its streams to this reporter, not to the wrapped one.
    inner_->SetOutputStream(&GetOutputStream());
    inner_->SetErrorStream(&GetErrorStream());
    return inner_->ReportContext(context);
  }

  void ReportRuns(const std::vector<Run>& runs) override {
    std::vector<Run> out = runs;
    for (Run& r : out) {
      if (r.run_type != Run::RT_Iteration || r.error_occurred) continue;
      const std::string name = r.benchmark_name();
      times_[name] = {r.GetAdjustedRealTime(), r.GetAdjustedCPUTime()};
      // A baseline registered before its measured benchmark has run already.
      const auto base = baselineOf_.find(name);
      if (base == baselineOf_.end()) continue;
      const auto t = times_.find(base->second);
      if (t != times_.end() && t->second.first > 0) r.counters["ratio"] = r.GetAdjustedRealTime() / t->second.first;
    }
    inner_->ReportRuns(out);
  }

  void Finalize() override {
    inner_->Finalize();
    if (!dynamic_cast<benchmark::ConsoleReporter*>(inner_.get())) return;
    std::ostream& os = GetOutputStream();
    os << "\n" << title_ << "            real    CPU\n";
    char line[160];
    for (const std::string& measured : order_) {
      const auto a = times_.find(measured), b = times_.find(baselineOf_[measured]);
      if (a == times_.end() || b == times_.end() || b->second.first <= 0 || b->second.second <= 0) continue;
      std::snprintf(line, sizeof line, "  %-34s %6.3f %6.3f\n", measured.c_str(), a->second.first / b->second.first,
                    a->second.second / b->second.second);
      os << line;
    }
  }

 private:
  std::unique_ptr<benchmark::BenchmarkReporter> inner_;
  std::string title_;
  std::vector<std::string> order_;
  std::map<std::string, std::string> baselineOf_;
  std::map<std::string, std::pair<double, double>> times_;  // real, CPU
};

// The value of --name=value in argv, or empty. Read before
// benchmark::Initialize, which removes the flags it knows.
inline std::string Flag(int argc, char** argv, const char* name) {
  const std::string prefix = std::string("--") + name + "=";
  std::string value;
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], prefix.c_str(), prefix.size()) == 0) value = argv[i] + prefix.size();
  return value;
}

// Initializes Google Benchmark from the command line, runs the benchmarks
// with the ratios added, and returns the process exit code.
inline int RunWithRatios(int argc, char** argv, const TRatioPairs& pairs, const std::string& title) {
  const std::string out = Flag(argc, argv, "benchmark_out");
  const std::string outFormat = Flag(argc, argv, "benchmark_out_format");
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  TRatioReporter display(benchmark::CreateDefaultDisplayReporter(), pairs, title);
  // The library writes CSV files itself (its CSV reporter class is
  // deprecated), so only those go without the ratio counter.
  std::unique_ptr<TRatioReporter> file;
  if (!out.empty() && outFormat != "csv") {
    benchmark::BenchmarkReporter* inner = nullptr;
    if (outFormat == "console") inner = new benchmark::ConsoleReporter(benchmark::ConsoleReporter::OO_None);
    else inner = new benchmark::JSONReporter();
    file = std::make_unique<TRatioReporter>(inner, pairs, title);
  }
  benchmark::RunSpecifiedBenchmarks(&display, file.get());
  benchmark::Shutdown();
  return 0;
}

}  // namespace twbench
