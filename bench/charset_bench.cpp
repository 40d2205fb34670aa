// Decoding a 1 MiB body: UTF-8 (mostly Cyrillic) beside QString::fromUtf8, and windows-1251
// beside plain iconv, on the same bytes in the same run. "--count SIDE N" counts one side's
// instructions instead (see instruction_count.h).
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <string>
#include <vector>

#include "bench/instruction_count.h"
#include "queueclient/charset/charset.h"

#ifdef QUEUE_BENCH_WITH_QT
#include <QString>
#endif

namespace {

constexpr std::size_t kBodySize = 1 << 20;

// A queue answer page's worth of Russian text with digits, punctuation and markup between.
std::string Utf8Body() {
  const std::string line =
      "Талон A015 — окно 3. Следующий посетитель, пройдите, пожалуйста, к окну №3.\n"
      "<p>Ожидайте вызова: очередь 12 человек, среднее время 4 мин.</p>\n";
  std::string body;
  while (body.size() + line.size() <= kBodySize) body += line;
  return body;
}

std::string Windows1251Body() {
  std::string utf8 = Utf8Body();
  iconv_t converter = iconv_open("CP1251//TRANSLIT", "UTF-8");
  std::string out(utf8.size(), '\0');
  char* in = utf8.data();
  std::size_t in_left = utf8.size();
  char* at = out.data();
  std::size_t out_left = out.size();
  iconv(converter, &in, &in_left, &at, &out_left);
  iconv_close(converter);
  out.resize(out.size() - out_left);
  return out;
}

void BM_DecodeUtf8(benchmark::State& state) {
  const std::string body = Utf8Body();
  for (auto _ : state) {
    std::u16string text = queue::DecodeBody(body, u"utf-8");
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * body.size()));
}
BENCHMARK(BM_DecodeUtf8);

#ifdef QUEUE_BENCH_WITH_QT
void BM_QStringFromUtf8(benchmark::State& state) {
  const std::string body = Utf8Body();
  for (auto _ : state) {
    QString text = QString::fromUtf8(body.data(), static_cast<qsizetype>(body.size()));
    benchmark::DoNotOptimize(text.constData());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * body.size()));
}
BENCHMARK(BM_QStringFromUtf8);
#endif

void BM_DecodeWindows1251(benchmark::State& state) {
  const std::string body = Windows1251Body();
  for (auto _ : state) {
    std::u16string text = queue::DecodeBody(body, u"windows-1251");
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * body.size()));
}
BENCHMARK(BM_DecodeWindows1251);

// iconv alone, into a buffer made once, with its handle opened once: the converter's cost
// without any of ours.
void BM_IconvWindows1251(benchmark::State& state) {
  std::string body = Windows1251Body();
  std::vector<char> out(body.size() * 2);
  iconv_t converter = iconv_open("UTF-16LE", "CP1251");
  for (auto _ : state) {
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    char* in = body.data();
    std::size_t in_left = body.size();
    char* at = out.data();
    std::size_t out_left = out.size();
    iconv(converter, &in, &in_left, &at, &out_left);
    benchmark::DoNotOptimize(out.data());
  }
  iconv_close(converter);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * body.size()));
}
BENCHMARK(BM_IconvWindows1251);

}  // namespace

int main(int argc, char** argv) {
  const std::string utf8 = Utf8Body();
  const std::string windows1251 = Windows1251Body();
  bench::Sides sides = {
      {"utf8-program", [&] { benchmark::DoNotOptimize(queue::DecodeBody(utf8, u"utf-8").data()); }},
      {"1251-program",
       [&] { benchmark::DoNotOptimize(queue::DecodeBody(windows1251, u"windows-1251").data()); }},
  };
#ifdef QUEUE_BENCH_WITH_QT
  sides["utf8-floor"] = [&] {
    QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    benchmark::DoNotOptimize(text.constData());
  };
#endif
  int exit_code = 0;
  if (bench::RanInstructionCount(argc, argv, sides, &exit_code)) return exit_code;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
