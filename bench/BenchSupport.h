#pragma once

#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <string>

#include "bench/HtmlGenerator.h"

namespace bench {

// The generated documents, written once per run to temporary files.
struct Document {
  std::string name;  // "10KB", "1MB-1251", ...
  std::string bytes;
  std::filesystem::path file;
};

const Document& GetDocument(size_t targetBytes, Language language = Language::kEnglish);

// Prints what Google Benchmark prints, then a table of each benchmark's
// throughput against its peer of the same argument: rows whose name starts
// with `subject` against rows whose name starts with `peer`.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter(std::string subject, std::string peer)
      : subject_(std::move(subject)), peer_(std::move(peer)) {}
  void ReportRuns(const std::vector<Run>& runs) override;
  void Finalize() override;

 private:
  std::string subject_, peer_;
  std::map<std::string, double> subjectRate_, peerRate_;  // by argument, bytes per second
};

}  // namespace bench
