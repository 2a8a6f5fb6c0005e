#include "bench/BenchSupport.h"

#include <cstdio>
#include <fstream>
#include <memory>

namespace bench {

const Document& GetDocument(size_t targetBytes, Language language) {
  static std::map<std::pair<size_t, Language>, std::unique_ptr<Document>> documents;
  auto& slot = documents[{targetBytes, language}];
  if (!slot) {
    slot = std::make_unique<Document>();
    const bool kilo = targetBytes < 1024 * 1024;
    slot->name = std::to_string(kilo ? targetBytes / 1024 : targetBytes / (1024 * 1024)) +
                 (kilo ? "KB" : "MB") + (language == Language::kRussian1251 ? "-1251" : "");
    slot->bytes = GenerateDocument(targetBytes, language);
    slot->file = std::filesystem::temp_directory_path() / ("bench-" + slot->name + ".htm");
    std::ofstream(slot->file, std::ios::binary).write(slot->bytes.data(), slot->bytes.size());
  }
  return *slot;
}

namespace {

// "Scan/1MB" -> ("Scan", "1MB").
std::pair<std::string, std::string> Split(const std::string& name) {
  const size_t slash = name.find('/');
  if (slash == std::string::npos) return {name, ""};
  return {name.substr(0, slash), name.substr(slash + 1)};
}

}  // namespace

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
  ConsoleReporter::ReportRuns(runs);
  for (const Run& run : runs) {
    // With repetitions, the median stands for the benchmark.
    if (!run.aggregate_name.empty() && run.aggregate_name != "median") continue;
    const auto [family, argument] = Split(run.run_name.str());
    const auto rate = run.counters.find("bytes_per_second");
    if (rate == run.counters.end()) continue;
    if (family == subject_) subjectRate_[argument] = rate->second;
    if (family == peer_) peerRate_[argument] = rate->second;
  }
}

void RatioReporter::Finalize() {
  ConsoleReporter::Finalize();
  std::printf("\n%-12s %14s %14s %10s\n", "document", (subject_ + " MB/s").c_str(),
              (peer_ + " MB/s").c_str(), "ratio");
  for (const auto& [argument, rate] : subjectRate_) {
    const auto peer = peerRate_.find(argument);
    if (peer == peerRate_.end()) continue;
    std::printf("%-12s %14.1f %14.1f %10.3f\n", argument.c_str(), rate / 1e6, peer->second / 1e6,
                rate / peer->second);
  }
}

}  // namespace bench
