// The scanner against a floor: the same bytes read once, byte by byte,
// through the same buffered file reader. Prints both rates and their ratio.
#include <benchmark/benchmark.h>

#include "bench/BenchSupport.h"
#include "parser/Scanner.h"

namespace {

using bench::Language;

constexpr size_t kSizes[] = {10 * 1024, 100 * 1024, 1024 * 1024, 5 * 1024 * 1024};

void Scan(benchmark::State& state, size_t size, Language language) {
  const bench::Document& document = bench::GetDocument(size, language);
  size_t symbols = 0;
  for (auto _ : state) {
    parser::THtmlScanner scanner;
    scanner.Source().OpenFile(document.file);
    scanner.NextChar();
    do {
      scanner.NextSymbol();
      ++symbols;
    } while (scanner.CurrentSymbol != parser::EofSymbol);
    benchmark::DoNotOptimize(symbols);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document.bytes.size()));
}

void Floor(benchmark::State& state, size_t size, Language language) {
  const bench::Document& document = bench::GetDocument(size, language);
  for (auto _ : state) {
    parser::ScannerSource source;
    source.OpenFile(document.file);
    uint32_t sum = 0;
    for (uint8_t c = source.ReadByte(); c != parser::ScannerSource::kEndOfInput;
         c = source.ReadByte())
      sum += c;
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document.bytes.size()));
}

void Register() {
  for (size_t size : kSizes)
    for (Language language : {Language::kEnglish, Language::kRussian1251}) {
      if (language == Language::kRussian1251 && size != 1024 * 1024) continue;
      const std::string name = bench::GetDocument(size, language).name;
      benchmark::RegisterBenchmark(("Scan/" + name).c_str(), Scan, size, language);
      benchmark::RegisterBenchmark(("Floor/" + name).c_str(), Floor, size, language);
    }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Register();
  bench::RatioReporter reporter("Scan", "Floor");
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
