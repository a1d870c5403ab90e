// How import, open, save, the duplicate scan and Find next grow with the collection: each is
// measured at 100,000 shortcuts in 5,000 categories and at one million in 50,000, every run in a
// process of its own, so the peak memory reported is that run's alone. An import is timed as
// the user meets it (the whole command line run); the others as collection_tool times them,
// after the collection is loaded.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    bool ok = false;
    double wallMs = 0;
    double peakMb = 0;
    std::string output;
};

// Runs the program with its arguments, its output collected.
Outcome Run(const std::vector<std::string>& args) {
    Outcome r;
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return r;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeFds[1], STDOUT_FILENO);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    std::array<char, 4096> buf;
    ssize_t n;
    while ((n = ::read(pipeFds[0], buf.data(), buf.size())) > 0)
        r.output.append(buf.data(), static_cast<std::size_t>(n));
    ::close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid)
        return r;
    r.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    r.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    r.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return r;
}

std::string Dir() {
    static const std::string dir = [] {
        const fs::path d = fs::temp_directory_path() / "lynkora-scale";
        fs::create_directories(d);
        return d.string();
    }();
    return dir;
}

const std::string kTool = LYNKORA_BENCH_DIR "/collection_tool";
const std::string kCli = LYNKORA_BIN_DIR "/lynkora-cli";

std::string Name(benchmark::State& state) { return std::to_string(state.range(0)); }

// The generated collection of the size, and its Netscape export; made once.
std::string Collection(benchmark::State& state) {
    const std::string path = Dir() + "/c" + Name(state) + ".lyx";
    if (!fs::exists(path) &&
        !Run({kTool, "generate", path, "--shortcuts", Name(state), "--categories",
              std::to_string(state.range(1))}).ok)
        state.SkipWithError("could not generate the collection");
    return path;
}

std::string NetscapeFile(benchmark::State& state) {
    const std::string html = Dir() + "/n" + Name(state) + ".html";
    if (!fs::exists(html) && !Run({kCli, "export", Collection(state), "--netscape", html}).ok)
        state.SkipWithError("could not export the collection");
    return html;
}

// "measured 123.4 ms" of collection_tool's output.
double MeasuredMs(const std::string& output) {
    const auto at = output.rfind("measured ");
    return at == std::string::npos ? -1 : std::atof(output.c_str() + at + 9);
}

void Report(benchmark::State& state, double ms, double peakMb) {
    state.SetIterationTime(ms / 1000.0);
    state.counters["peak_MB"] = benchmark::Counter(peakMb, benchmark::Counter::kAvgIterations);
}

void BM_ImportNetscape(benchmark::State& state) {
    const std::string html = NetscapeFile(state);
    const std::string target = Dir() + "/import" + Name(state) + ".lyx";
    for (auto _ : state) {
        fs::remove(target);
        const Outcome r = Run({kCli, "import", target, "--netscape", html});
        if (!r.ok) {
            state.SkipWithError(("import failed: " + r.output).c_str());
            break;
        }
        Report(state, r.wallMs, r.peakMb);
    }
}

// One collection_tool command on a fresh copy of the collection.
void Tool(benchmark::State& state, const char* command) {
    const std::string source = Collection(state);
    const std::string copy = Dir() + "/" + command + Name(state) + ".lyx";
    for (auto _ : state) {
        fs::copy_file(source, copy, fs::copy_options::overwrite_existing);
        const Outcome r = Run({kTool, command, copy});
        const double ms = MeasuredMs(r.output);
        if (!r.ok || ms < 0) {
            state.SkipWithError((std::string(command) + " failed: " + r.output).c_str());
            break;
        }
        Report(state, ms, r.peakMb);
    }
}

void BM_OpenAndLoad(benchmark::State& state) { Tool(state, "open"); }
void BM_Save(benchmark::State& state) { Tool(state, "save"); }
void BM_DuplicateScan(benchmark::State& state) { Tool(state, "duplicates"); }
void BM_FindNextNoMatch(benchmark::State& state) { Tool(state, "find"); }

void Sizes(benchmark::internal::Benchmark* b) {
    b->Args({100000, 5000})->Args({1000000, 50000});
    b->ArgNames({"shortcuts", "categories"});
    b->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
    b->ReportAggregatesOnly(true)->ComputeStatistics("max", [](const std::vector<double>& v) {
        double m = 0;
        for (double x : v)
            m = std::max(m, x);
        return m;
    });
}

BENCHMARK(BM_ImportNetscape)->Apply(Sizes);
BENCHMARK(BM_OpenAndLoad)->Apply(Sizes);
BENCHMARK(BM_Save)->Apply(Sizes);
BENCHMARK(BM_DuplicateScan)->Apply(Sizes);
BENCHMARK(BM_FindNextNoMatch)->Apply(Sizes);

} // namespace

BENCHMARK_MAIN();
