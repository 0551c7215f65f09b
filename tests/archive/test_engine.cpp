// The method engine: RLE in both directions, key scrambling, progress and
// abort, the input limit and the output budget.
#include "archive_fixtures.h"

#include "archive/engine.h"
#include "archive/errors.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A memory stream that records the size of every read.
class RecordingStream : public TMemoryStream {
public:
    using TMemoryStream::TMemoryStream;
    size_t read(void* buffer, size_t count) override {
        size_t n = TMemoryStream::read(buffer, count);
        reads.push_back(n);
        return n;
    }
    std::vector<size_t> reads;
};

struct RunResult {
    std::string output;
    uint32_t sum = 0;
};

RunResult run(TRunDirection direction, int method, const std::string& input, int32_t key = 0,
              bool scrambled = false, int64_t expected = -1,
              const TShowProgressEvent& progress = {}) {
    TMemoryStream in(input), out;
    TCompress component;
    component.Key = key;
    component.OnShowProgress = progress;
    const auto length = static_cast<int64_t>(input.size());
    RunResult r;
    r.sum = RunMethod(direction, method, in, length, out, expected < 0 ? 1 << 20 : expected,
                      scrambled, component);
    r.output = out.bytes();
    return r;
}

std::string rleExpand(const std::string& stored) {
    return run(TRunDirection::expand, methodRLE, stored).output;
}
std::string rleCompress(const std::string& plain) {
    return run(TRunDirection::compress, methodRLE, plain).output;
}

} // namespace

TEST(RleExpand, EscapeSequences) {
    EXPECT_EQ(rleExpand(bytesOf({0x41, 0x94, 0x05, 0x42})),
              bytesOf({0x41, 0x41, 0x41, 0x41, 0x41, 0x42}));
    EXPECT_EQ(rleExpand(bytesOf({0x94, 0x00})), bytesOf({0x94}));
    EXPECT_EQ(rleExpand(bytesOf({0x41, 0x94})), bytesOf({0x41, 0x94})); // lone escape at the end
    EXPECT_EQ(rleExpand(bytesOf({0x94, 0x03})), bytesOf({0x00, 0x00})); // last byte starts as 0
    EXPECT_EQ(rleExpand(bytesOf({0x41, 0x94, 0x01, 0x42})), bytesOf({0x41, 0x42}));
    // After an escape sequence the last byte is the escape itself.
    EXPECT_EQ(rleExpand(bytesOf({0x41, 0x94, 0x02, 0x94, 0x03})),
              bytesOf({0x41, 0x41, 0x94, 0x94}));
    EXPECT_EQ(rleExpand(""), "");
}

TEST(RleCompress, RunsAndEscapes) {
    EXPECT_EQ(rleCompress(bytesOf({0x41, 0x41})), bytesOf({0x41, 0x41}));
    EXPECT_EQ(rleCompress(bytesOf({0x41, 0x41, 0x41})), bytesOf({0x41, 0x94, 0x03}));
    EXPECT_EQ(rleCompress(std::string(300, 0x41)), bytesOf({0x41, 0x94, 0xFF, 0x41, 0x94, 0x2D}));
    EXPECT_EQ(rleCompress(std::string(4, '\0')), bytesOf({0x00, 0x94, 0x04}));
    EXPECT_THROW(rleCompress(bytesOf({0x94})), EUnableToCompress);
    EXPECT_EQ(rleCompress(""), "");
}

TEST(RleCompress, RoundTripsAwkwardInputs) {
    std::vector<std::string> inputs = {
        std::string(255, 'a') + std::string(256, 'a') + "b",
        std::string(10, '\x94') + std::string(600, 'x'),
        std::string("\0\0\0\0\0\0\0\0x", 9),
        std::string(5, 'q') + '\x94' + std::string(5, 'q'),
    };
    std::string mixed;
    for (int i = 0; i < 5000; ++i)
        mixed += std::string(1 + (i * 7) % 9, static_cast<char>(i % 5 == 0 ? 0x94 : 'a' + i % 3));
    inputs.push_back(mixed);
    for (const auto& in : inputs) {
        RunResult packed = run(TRunDirection::compress, methodRLE, in + in);
        EXPECT_EQ(rleExpand(packed.output), in + in);
        EXPECT_EQ(packed.sum, byteSumOf(in + in));
    }
}

TEST(EngineKey, ScramblesByteIOfTheStoredDataWithKeyByteIMod4) {
    const int32_t key = 0x0D0C0B0A; // k0 = 0A ... k3 = 0D
    const std::string plain = "ABCDEFG";
    std::string stored = plain;
    for (size_t i = 0; i < stored.size(); ++i)
        stored[i] = static_cast<char>(stored[i] ^ (0x0A + i % 4));

    RunResult expanded = run(TRunDirection::expand, methodRLE, stored, key, true);
    EXPECT_EQ(expanded.output, plain);
    EXPECT_EQ(expanded.sum, byteSumOf(plain));
    // Without the scrambled flag, or with key 0, the bytes pass unchanged.
    EXPECT_EQ(run(TRunDirection::expand, methodRLE, stored, key, false).output, stored);
    EXPECT_EQ(run(TRunDirection::expand, methodRLE, stored, 0, true).output, stored);

    RunResult packed = run(TRunDirection::compress, methodRLE, plain, key);
    EXPECT_EQ(packed.output, stored);
    EXPECT_EQ(packed.sum, byteSumOf(plain));
}

TEST(EngineProgress, ReportsPercentagesPerInputBlock) {
    std::string literal; // no runs, no escapes: RLE passes it through
    for (int i = 0; i < 20000; ++i)
        literal += static_cast<char>('a' + i % 2);
    RecordingStream in(literal);
    TMemoryStream out;
    TCompress component;
    std::vector<int32_t> seen;
    component.OnShowProgress = [&seen](int32_t& percent) { seen.push_back(percent); };
    RunMethod(TRunDirection::expand, methodRLE, in, 20000, out, 20000, false, component);
    EXPECT_EQ(seen, (std::vector<int32_t>{40, 81, 100}));
    EXPECT_EQ(in.reads, (std::vector<size_t>{8192, 8192, 3616}));
    EXPECT_EQ(out.bytes(), literal);
}

TEST(EngineProgress, LargeInputsUseTheCoarseFormula) {
    std::string literal;
    for (int i = 0; i < 200000; ++i)
        literal += static_cast<char>('a' + i % 2);
    std::vector<int32_t> seen;
    run(TRunDirection::expand, methodRLE, literal, 0, false, 200000,
        [&seen](int32_t& percent) { seen.push_back(percent); });
    ASSERT_EQ(seen.size(), 25u);
    EXPECT_EQ(seen[0], 8192 / 2000); // fetched div (total div 100)
    EXPECT_EQ(seen.back(), 100);
}

TEST(EngineProgress, MinusOneAbortsTheRun) {
    std::string literal;
    for (int i = 0; i < 20000; ++i)
        literal += static_cast<char>('a' + i % 2);
    int calls = 0;
    auto abortAtSecond = [&calls](int32_t& percent) {
        if (++calls == 2)
            percent = -1;
    };
    RunResult r = run(TRunDirection::expand, methodRLE, literal, 0, false, 20000, abortAtSecond);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(r.output, literal.substr(0, 8192));

    // LH5 goes on decoding zero bits up to the expected length; the checksum then judges.
    const std::string text(50000, 'k');
    RawMember m = storedMember("k", text);
    m.method = methodLH5;
    m.stored = run(TRunDirection::compress, methodLH5, text).output;
    TCompress reader;
    reader.OnShowProgress = [](int32_t& percent) { percent = -1; };
    TMemoryStream out;
    EXPECT_THROW(extractInto(reader, rawArchive({m}), "k", out), EBadChecksum);
    EXPECT_EQ(out.bytes(), std::string(text.size(), '\0'));
}

TEST(EngineInput, NeverReadsPastTheInputLength) {
    const std::string data = "abcdefghij" + std::string(100, '#');
    TMemoryStream in(data), out;
    TCompress component;
    uint32_t sum = RunMethod(TRunDirection::expand, methodRLE, in, 10, out, 10, false, component);
    EXPECT_EQ(out.bytes(), "abcdefghij");
    EXPECT_EQ(in.position(), 10);
    EXPECT_EQ(sum, byteSumOf("abcdefghij"));
}

TEST(EngineOutput, CompressingMayNotGrowTheData) {
    // Equal length is allowed.
    EXPECT_EQ(rleCompress("ab"), "ab");
    // Escapes double the size: the run fails once the output would pass the
    // input length, and only whole 8 KB blocks reached the stream.
    std::string escapes;
    for (int i = 0; i < 10000; ++i)
        escapes += i % 2 ? 'x' : '\x94';
    TMemoryStream in(escapes), out;
    TCompress component;
    EXPECT_THROW(
        RunMethod(TRunDirection::compress, methodRLE, in, 10000, out, 10000, false, component),
        EUnableToCompress);
    EXPECT_EQ(out.size(), 8192);
}

TEST(EngineMethods, UnknownMethodsRunNothing) {
    for (int method : {0, 3, 5, 255}) {
        TMemoryStream in("data"), out;
        TCompress component;
        EXPECT_EQ(RunMethod(TRunDirection::expand, method, in, 4, out, 4, false, component), 0u);
        EXPECT_EQ(in.position(), 0);
        EXPECT_EQ(out.size(), 0);
    }
}
