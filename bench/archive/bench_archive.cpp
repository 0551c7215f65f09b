// Throughput of our methods (RLE, LZH, LH5) against zlib (deflate level 6 and
// inflate) on two inputs: the content files packed into data1.hhz, and an
// English-like text of 8 MiB built here. Ends with each method's speed as a
// share of zlib's.
#include "archive/compress.h"
#include "archive/engine.h"
#include "archive/errors.h"
#include "archive/format.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

std::string contentFiles() {
    std::vector<std::filesystem::path> files;
    for (const auto& e : std::filesystem::directory_iterator(LUNV_CONTENT_DIR))
        if (e.is_regular_file())
            files.push_back(e.path());
    std::sort(files.begin(), files.end());
    std::string all;
    for (const auto& f : files) {
        std::ifstream in(f, std::ios::binary);
        all.append(std::istreambuf_iterator<char>(in), {});
    }
    return all;
}

// Sentences from a small vocabulary, with earlier sentences coming back now
// and then, as in real prose.
std::string englishText(size_t size) {
    static const char* const words[] = {"the",
                                        "of",
                                        "and",
                                        "to",
                                        "in",
                                        "a",
                                        "is",
                                        "that",
                                        "for",
                                        "it",
                                        "as",
                                        "with",
                                        "be",
                                        "on",
                                        "not",
                                        "he",
                                        "this",
                                        "are",
                                        "or",
                                        "his",
                                        "from",
                                        "at",
                                        "which",
                                        "but",
                                        "by",
                                        "have",
                                        "one",
                                        "all",
                                        "heaven",
                                        "earth",
                                        "thunder",
                                        "water",
                                        "mountain",
                                        "wind",
                                        "fire",
                                        "lake",
                                        "superior",
                                        "man",
                                        "great",
                                        "small",
                                        "success",
                                        "perseverance",
                                        "furthers",
                                        "misfortune",
                                        "remorse",
                                        "disappears",
                                        "dragon",
                                        "field",
                                        "line",
                                        "changes",
                                        "creative",
                                        "receptive",
                                        "darkening",
                                        "light",
                                        "return",
                                        "waiting",
                                        "danger",
                                        "abysmal",
                                        "clinging",
                                        "arousing",
                                        "keeping",
                                        "still",
                                        "gentle",
                                        "joyous",
                                        "youthful",
                                        "folly",
                                        "conflict",
                                        "army",
                                        "holding",
                                        "together",
                                        "taming",
                                        "power",
                                        "treading",
                                        "peace",
                                        "standstill",
                                        "fellowship",
                                        "possession",
                                        "modesty",
                                        "enthusiasm",
                                        "following",
                                        "decay",
                                        "approach",
                                        "contemplation",
                                        "grace"};
    constexpr size_t wordCount = sizeof words / sizeof *words;
    std::mt19937 gen(20261209);
    std::vector<std::string> sentences;
    std::string text;
    while (text.size() < size) {
        if (!sentences.empty() && gen() % 4 == 0) {
            text += sentences[gen() % sentences.size()];
        } else {
            std::string s;
            const unsigned length = 6 + gen() % 14;
            for (unsigned i = 0; i < length; ++i) {
                std::string w = words[std::min<size_t>(gen() % wordCount, gen() % wordCount)];
                if (i == 0)
                    w[0] = static_cast<char>(w[0] - 'a' + 'A');
                s += w;
                s += (i + 1 == length) ? ". " : (gen() % 9 == 0 ? ", " : " ");
            }
            if (gen() % 6 == 0)
                s += "\n\n";
            sentences.push_back(s);
            text += s;
        }
    }
    text.resize(size);
    return text;
}

const std::map<std::string, std::string>& inputs() {
    static const std::map<std::string, std::string> all = {{"content", contentFiles()},
                                                           {"text", englishText(8u << 20)}};
    return all;
}

std::string ourCompress(int method, const std::string& plain) {
    TMemoryStream in(plain), out;
    TCompress component;
    const auto n = static_cast<int64_t>(plain.size());
    RunMethod(TRunDirection::compress, method, in, n, out, n, false, component);
    return out.bytes();
}

std::string zlibDeflate(const std::string& plain) {
    uLongf size = compressBound(plain.size());
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size,
              reinterpret_cast<const Bytef*>(plain.data()), plain.size(), 6);
    out.resize(size);
    return out;
}

void expandOurs(benchmark::State& state, int method, const std::string& plain) {
    std::string stored;
    try {
        stored = ourCompress(method, plain);
    } catch (const EUnableToCompress&) {
        state.SkipWithError("the method cannot shrink this input");
        return;
    }
    TMemoryStream in(stored), out;
    TCompress component;
    for (auto _ : state) {
        in.setPosition(0);
        out.clear();
        RunMethod(TRunDirection::expand, method, in, static_cast<int64_t>(stored.size()), out,
                  static_cast<int64_t>(plain.size()), false, component);
    }
    if (out.bytes() != plain)
        state.SkipWithError("expansion gave different bytes");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * plain.size()));
    state.counters["ratio%"] = 100.0 * static_cast<double>(stored.size()) / plain.size();
}

void compressOurs(benchmark::State& state, int method, const std::string& plain) {
    TMemoryStream in(plain), out;
    TCompress component;
    const auto n = static_cast<int64_t>(plain.size());
    for (auto _ : state) {
        in.setPosition(0);
        out.clear();
        try {
            RunMethod(TRunDirection::compress, method, in, n, out, n, false, component);
        } catch (const EUnableToCompress&) {
            state.SkipWithError("the method cannot shrink this input");
            return;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * plain.size()));
}

void inflateZlib(benchmark::State& state, const std::string& plain) {
    const std::string stored = zlibDeflate(plain);
    std::string out(plain.size(), '\0');
    for (auto _ : state) {
        uLongf size = out.size();
        uncompress(reinterpret_cast<Bytef*>(out.data()), &size,
                   reinterpret_cast<const Bytef*>(stored.data()), stored.size());
        benchmark::DoNotOptimize(out.data());
    }
    if (out != plain)
        state.SkipWithError("inflate gave different bytes");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * plain.size()));
    state.counters["ratio%"] = 100.0 * static_cast<double>(stored.size()) / plain.size();
}

void deflateZlib(benchmark::State& state, const std::string& plain) {
    for (auto _ : state)
        benchmark::DoNotOptimize(zlibDeflate(plain));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * plain.size()));
}

// Console output plus a closing table of each method's speed as a share of zlib's.
class ShareReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs) {
            auto rate = run.counters.find("bytes_per_second");
            if (!run.error_occurred && rate != run.counters.end())
                speed_[run.benchmark_name()] = rate->second.value / 1e6;
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nThroughput in MB/s and as a share of zlib (inflate for expansion, "
                    "deflate -6 for compression):\n");
        for (const auto& [input, plain] : inputs()) {
            for (const char* direction : {"expand", "compress"}) {
                const std::string zlibName = std::string(direction) + "/zlib/" + input;
                auto zlib = speed_.find(zlibName);
                if (zlib == speed_.end())
                    continue;
                std::printf("  %-8s %-7s zlib %8.1f", direction, input.c_str(), zlib->second);
                for (const char* method : {"RLE", "LZH", "LH5"}) {
                    auto ours = speed_.find(std::string(direction) + "/" + method + "/" + input);
                    if (ours != speed_.end())
                        std::printf("   %s %8.1f (%.2f)", method, ours->second,
                                    ours->second / zlib->second);
                }
                std::printf("\n");
            }
        }
    }

private:
    std::map<std::string, double> speed_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    for (const auto& [input, plainRef] : inputs()) {
        const std::string* plain = &plainRef;
        for (int method : {methodRLE, methodLZH, methodLH5}) {
            const std::string id = std::string(MethodIDs[method]) + "/" + input;
            benchmark::RegisterBenchmark(("expand/" + id).c_str(), [method, plain](auto& s) {
                expandOurs(s, method, *plain);
            })->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark(("compress/" + id).c_str(), [method, plain](auto& s) {
                compressOurs(s, method, *plain);
            })->Unit(benchmark::kMillisecond);
        }
        benchmark::RegisterBenchmark(("expand/zlib/" + input).c_str(), [plain](auto& s) {
            inflateZlib(s, *plain);
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("compress/zlib/" + input).c_str(), [plain](auto& s) {
            deflateZlib(s, *plain);
        })->Unit(benchmark::kMillisecond);
    }
    ShareReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
