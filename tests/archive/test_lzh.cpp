#include "archive/lzh.h"
#include "tests/archive/codec_io.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct Lzh {
    template <class IO> static void compress(IO& io) { lzh::compress(io); }
    template <class IO> static void expand(IO& io, int32_t n) { lzh::expand(io, n); }
};

std::string roundTrip(const std::string& plain) {
    const std::string stored = packWith<Lzh>(plain);
    return unpackWith<Lzh>(stored, static_cast<int32_t>(plain.size()));
}

} // namespace

TEST(LzhRoundTrip, SmallAndRepetitiveInputs) {
    EXPECT_EQ(packWith<Lzh>(""), "");
    EXPECT_EQ(roundTrip("x"), "x");
    EXPECT_EQ(roundTrip(std::string(1, '\0')), std::string(1, '\0'));
    EXPECT_EQ(roundTrip("abcabcabcabd"), "abcabcabcabd");
    const std::string runs = std::string(10000, 'a') + "b" + std::string(61, 'a');
    EXPECT_EQ(roundTrip(runs), runs);
}

TEST(LzhRoundTrip, RandomAndLargeInputsWithTreeRebuilds) {
    for (size_t n : {size_t(2), size_t(100), size_t(4097)}) {
        const std::string rnd = randomBytes(n, unsigned(n));
        EXPECT_EQ(roundTrip(rnd), rnd) << n;
    }
    // Well over 32454 symbols, so the tree is rebuilt several times.
    const std::string rnd = randomBytes(150000, 5);
    EXPECT_EQ(roundTrip(rnd), rnd);
    const std::string text = sampleText(300000, 11);
    const std::string stored = packWith<Lzh>(text);
    EXPECT_LT(stored.size(), text.size() / 3);
    EXPECT_EQ(unpackWith<Lzh>(stored, int32_t(text.size())), text);
}

TEST(LzhRoundTrip, SkewedFrequencies) {
    // Byte b occurs Fibonacci(b) times in a shuffled order: a deep, lopsided
    // tree that is rebuilt once on the way.
    std::string plain;
    unsigned a = 1, b = 1;
    for (int sym = 0; sym < 22; ++sym) {
        plain.append(a, static_cast<char>('A' + sym));
        const unsigned next = a + b;
        a = b;
        b = next;
    }
    std::mt19937 gen(1);
    std::shuffle(plain.begin(), plain.end(), gen);
    plain += "ABCDEFGHIJKLMNOPQRSTUV";
    EXPECT_EQ(roundTrip(plain), plain);
}

TEST(LzhRoundTrip, CodesLongerThan16BitsAreSentWhole) {
    // Counts that make the tree a Fibonacci-like chain above the subtree of
    // the 305 unused symbols; those end up 18 or more levels deep.
    const unsigned counts[] = {305, 306, 611, 918, 1530, 2449, 3980, 6430, 10411};
    std::string plain;
    for (unsigned k = 0; k < 9; ++k)
        plain.append(counts[k], static_cast<char>('a' + k));
    std::mt19937 gen(1);
    std::shuffle(plain.begin(), plain.end(), gen);

    lzh::detail::AdaptiveTree tree;
    for (unsigned char c : plain)
        tree.update(c);
    int depth = 0;
    for (unsigned k = tree.prnt['Z' + lzh::detail::kTable]; k != 0; k = tree.prnt[k])
        ++depth;
    ASSERT_GT(depth, 16);

    plain += "Z";
    StringIO io;
    lzh::detail::SymbolWriter<StringIO> writer(io);
    for (unsigned char c : plain)
        writer.literal(c);
    writer.finish();
    EXPECT_EQ(unpackWith<Lzh>(io.out, int32_t(plain.size())), plain);
}

TEST(LzhExpand, ZeroSizeReadsNothing) {
    StringIO io("\xFF\xFF");
    lzh::expand(io, 0);
    EXPECT_EQ(io.pos, 0u);
    EXPECT_EQ(io.readsPastEnd, 0u);
    EXPECT_TRUE(io.out.empty());
}

TEST(LzhExpand, MatchesAreWrittenWholeAndMayReachTheInitialSpaces) {
    // "abc" then one match of 9 bytes; asking for 4 bytes still gives all 12.
    const std::string stored = packWith<Lzh>("abcabcabcabc");
    EXPECT_EQ(unpackWith<Lzh>(stored, 4), "abcabcabcabc");

    // Leading spaces are taken from the window's initial spaces: one match.
    const std::string spaces(60, ' ');
    const std::string packed = packWith<Lzh>(spaces + "x");
    EXPECT_LE(packed.size(), 5u);
    EXPECT_EQ(unpackWith<Lzh>(packed, 61), spaces + "x");
}

TEST(LzhExpand, FixedPositionCode) {
    // Codes of the upper six position bits, as published for LZHUF.
    const auto& pc = lzh::detail::PositionCode::get();
    const struct {
        int u;
        const char* code;
    } known[] = {{0, "000"},       {1, "0010"},     {2, "0011"},    {3, "0100"},
                 {4, "01010"},     {11, "10001"},   {12, "100100"}, {24, "1100000"},
                 {48, "11110000"}, {63, "11111111"}};
    for (const auto& k : known) {
        std::string bits;
        for (int i = 0; i < pc.length[k.u]; ++i)
            bits += ((pc.code[k.u] >> (7 - i)) & 1) ? '1' : '0';
        EXPECT_EQ(bits, k.code) << k.u;
        // Every 8-bit look-ahead that starts with the code decodes to u.
        const unsigned first = pc.code[k.u];
        EXPECT_EQ(pc.decode[first], k.u);
        EXPECT_EQ(pc.decode[first | ((1u << (8 - pc.length[k.u])) - 1)], k.u);
        EXPECT_EQ(pc.decodeLen[first], pc.length[k.u]);
    }
}

TEST(LzhExpand, TruncatedAndArbitraryStreamsStayInBounds) {
    const std::string text = sampleText(40000, 4);
    const std::string stored = packWith<Lzh>(text);
    for (size_t cut : {size_t(0), size_t(1), stored.size() / 2, stored.size() - 1}) {
        StringIO io(stored.substr(0, cut));
        lzh::expand(io, int32_t(text.size()));
        EXPECT_GE(io.out.size(), text.size());
        EXPECT_LT(io.out.size(), text.size() + 60);
        EXPECT_EQ(io.out.compare(0, cut, text, 0, cut), 0);
    }
    for (unsigned seed = 0; seed < 100; ++seed) {
        StringIO io(randomBytes(seed * 7, seed));
        lzh::expand(io, 3000);
        EXPECT_GE(io.out.size(), 3000u);
        EXPECT_LT(io.out.size(), 3000u + 60);
    }
}
