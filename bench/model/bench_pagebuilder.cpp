// Page builds from the staged program folder: single pages with and without
// the Chinese tables, and every hexagram page built and scanned the way the
// search across pages does it.
#include "archive/content.h"
#include "model/hexaroutines.h"
#include "model/pagebuilder.h"

#include <benchmark/benchmark.h>

namespace {

class KeepingView : public PageView {
public:
    void loadLines(const Lines& newLines, const std::string&) override { lines = newLines; }
    Lines lines;
};

void LoadPage(benchmark::State& state) {
    setProgramFolder(LUNV_STAGE_DIR);
    const int n = static_cast<int>(state.range(0));
    const bool chinese = state.range(1) != 0;
    KeepingView view;
    for (auto _ : state) {
        loadPage(&view, pageName(n), sourceArchive, chinese, n);
        benchmark::DoNotOptimize(view.lines.data());
    }
    if (view.lines.empty())
        state.SkipWithError("page not staged");
}
BENCHMARK(LoadPage)
    ->ArgNames({"hexagram", "chinese"})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Args({64, 0})
    ->Args({64, 1})
    ->Unit(benchmark::kMillisecond);

void BuildAndScanAllPages(benchmark::State& state) {
    setProgramFolder(LUNV_STAGE_DIR);
    Lines lines;
    int found = 0;
    for (auto _ : state) {
        found = 0;
        for (int n = 1; n <= 64; ++n) {
            loadPageLines(lines, pageName(n), sourceArchive, true, n);
            found += joinLines(lines).find("heaven") != std::string::npos;
        }
        benchmark::DoNotOptimize(found);
    }
    state.counters["pages with the word"] = found;
}
BENCHMARK(BuildAndScanAllPages)->Unit(benchmark::kMillisecond);

// The dictionary lookups of one build: the plain scan against the index.
void LookupAllItems(benchmark::State& state) {
    setProgramFolder(LUNV_STAGE_DIR);
    const Lines ed = splitLines(loadContent("ed.txt", sourceFolder));
    const CharacterDictionary dictionary{Lines(ed)};
    std::vector<std::string> keys;
    for (const std::string& line : ed) {
        size_t second = line.find(' ', line.find(' ') + 1);
        keys.push_back(line.substr(0, second));
    }
    const bool indexed = state.range(0) != 0;
    for (auto _ : state) {
        for (const std::string& key : keys) {
            CharacterEntry entry =
                indexed ? dictionary.lookup(key) : lookupCharacter(key, dictionary.lines());
            benchmark::DoNotOptimize(entry.code.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(keys.size()));
}
BENCHMARK(LookupAllItems)->ArgName("indexed")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
