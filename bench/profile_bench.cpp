// What the settings file's load and save cost when the file is large: the program's two
// sections followed by a long junk section, 2 MB and close to the 64 MiB bound. Each read and
// each write works on the whole file, so a load (six reads) and a save (six writes) each go
// through it six times. The floor is reading the file's bytes from the disk six times. The
// counter peak_rss_MiB is the process's peak memory so far, to be set beside file_MiB (a write
// should hold the old and the new bytes, not a copy per line); run one benchmark per process
// (--benchmark_filter=BM_Save/bytes:67104768/junk_first:1) to read it for that benchmark alone.
#include <sys/resource.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "settings/profile/profile_file.h"
#include "settings/profile/profile_storage.h"

namespace settings {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kTwoMegabytes = 2'000'000;
// Just below the bound, with room for the program's entries.
constexpr std::int64_t kNearTheBound = static_cast<std::int64_t>(kMaxProfileFileBytes) - 4096;

// The program's sections and a junk section of about `size` bytes in all, written line by line
// so that making the file adds nothing to the peak memory. With `junk_first`, the junk comes
// before the program's sections: every read and write then walks all of it.
fs::path FileOfSize(std::int64_t size, bool junk_first) {
  const fs::path path = fs::temp_directory_path() / ("profile_bench." + std::to_string(::getpid()) +
                                                     "." + std::to_string(size) + ".ini");
  const std::string program =
      "[Form]\r\nTop=10\r\nleft=20\r\nWidth=420\r\nHeight=112\r\n"
      "[Server]\r\nHost=http://localhost\r\nWindow=2\r\n";
  std::ofstream out(path, std::ios::binary);
  std::int64_t written = static_cast<std::int64_t>(program.size());
  if (!junk_first) out << program;
  out << "[Junk]\r\n";
  for (int i = 0; written < size; ++i) {
    const std::string line = "entry" + std::to_string(i) + "=" + std::string(40, 'j') + "\r\n";
    out << line;
    written += static_cast<std::int64_t>(line.size());
  }
  if (junk_first) out << program;
  return path;
}

double PeakMemoryMiB() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

void Report(benchmark::State& state) {
  state.counters["file_MiB"] = static_cast<double>(state.range(0)) / (1 << 20);
  state.counters["peak_rss_MiB"] = PeakMemoryMiB();
}

void BM_ReadBytesSixTimes(benchmark::State& state) {
  const fs::path path = FileOfSize(state.range(0), state.range(1) != 0);
  for (auto _ : state) {
    for (int i = 0; i < 6; ++i) benchmark::DoNotOptimize(ReadStoredFile(path.u16string()));
  }
  Report(state);
  fs::remove(path);
}

void BM_Load(benchmark::State& state) {
  const fs::path path = FileOfSize(state.range(0), state.range(1) != 0);
  const ProfileFile file(path.u16string());
  for (auto _ : state) {
    benchmark::DoNotOptimize(file.ReadInteger(u"Form", u"Top", 0));
    benchmark::DoNotOptimize(file.ReadInteger(u"Form", u"Left", 0));
    benchmark::DoNotOptimize(file.ReadInteger(u"Form", u"Width", 420));
    benchmark::DoNotOptimize(file.ReadInteger(u"Form", u"Height", 112));
    benchmark::DoNotOptimize(file.ReadString(u"Server", u"Host", u"http://localhost"));
    benchmark::DoNotOptimize(file.ReadInteger(u"Server", u"Window", -1));
  }
  Report(state);
  fs::remove(path);
}

void BM_Save(benchmark::State& state) {
  const fs::path path = FileOfSize(state.range(0), state.range(1) != 0);
  ProfileFile file(path.u16string());
  bool longer = false;
  for (auto _ : state) {
    file.WriteInteger(u"Form", u"Top", 10);
    file.WriteInteger(u"Form", u"left", 20);
    file.WriteInteger(u"Form", u"Width", 420);
    file.WriteInteger(u"Form", u"Height", 112);
    // A longer value every other time: the file grows, and the bytes must move.
    longer = !longer;
    file.WriteString(u"Server", u"Host", longer ? u"http://localhost:8080" : u"http://localhost");
    file.WriteInteger(u"Server", u"Window", 2);
    file.Flush();
  }
  Report(state);
  fs::remove(path);
}

// Arguments: the file's size, and whether the junk comes first.
void Sizes(benchmark::internal::Benchmark* bench) {
  bench->ArgNames({"bytes", "junk_first"})->Unit(benchmark::kMillisecond);
  for (const std::int64_t size : {kTwoMegabytes, kNearTheBound}) {
    for (const std::int64_t junk_first : {0, 1}) bench->Args({size, junk_first});
  }
}

BENCHMARK(BM_ReadBytesSixTimes)->Apply(Sizes);
BENCHMARK(BM_Load)->Apply(Sizes);
BENCHMARK(BM_Save)->Apply(Sizes);

}  // namespace
}  // namespace settings

BENCHMARK_MAIN();
