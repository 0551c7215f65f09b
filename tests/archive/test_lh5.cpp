#include "archive/lh5.h"
#include "tests/archive/codec_io.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Lh5 {
    template <class IO> static void compress(IO& io) { lh5::compress(io); }
    template <class IO> static void expand(IO& io, int32_t n) { lh5::expand(io, n); }
};

std::string roundTrip(const std::string& plain) {
    const std::string stored = packWith<Lh5>(plain);
    return unpackWith<Lh5>(stored, static_cast<int32_t>(plain.size()));
}

// Block head whose literal/length code and distance code each have a single
// symbol: no bits are spent on the symbols themselves.
void singleSymbolBlock(BitString& bits, unsigned count, unsigned symbol, unsigned distClass = 0) {
    bits.put(16, count);
    bits.put(5, 0).put(5, 0);      // code-length code: count 0, symbol 0
    bits.put(9, 0).put(9, symbol); // literal/length code: count 0, the symbol
    bits.put(4, 0).put(4, distClass);
}

// Code lengths in the compact form: 3 bits below 7, else 111, ones, 0.
void putLengths(BitString& bits, int countBits, const std::vector<int>& lengths) {
    bits.put(countBits, static_cast<unsigned>(lengths.size()));
    for (int l : lengths) {
        if (l < 7) {
            bits.put(3, static_cast<unsigned>(l));
            continue;
        }
        bits.put("111");
        for (int k = 7; k < l; ++k)
            bits.put("1");
        bits.put("0");
    }
}

void expectBadTable(const std::string& stored, int32_t size = 100) {
    StringIO io(stored);
    EXPECT_THROW(lh5::expand(io, size), ELZHBadDecodeTable);
}

} // namespace

TEST(Lh5RoundTrip, SmallAndDegenerateInputs) {
    EXPECT_EQ(packWith<Lh5>(""), "");
    EXPECT_EQ(roundTrip("x"), "x");
    EXPECT_EQ(roundTrip("ab"), "ab");
    EXPECT_EQ(roundTrip(std::string(1, '\0')), std::string(1, '\0'));
    EXPECT_EQ(roundTrip(std::string(1000, 'a')), std::string(1000, 'a'));
    EXPECT_EQ(roundTrip(std::string(300, ' ')), std::string(300, ' '));
    // Matches that must be split at the longest length of 256.
    const std::string longRuns = std::string(5000, 'z') + "y" + std::string(777, 'z');
    EXPECT_EQ(roundTrip(longRuns), longRuns);
}

TEST(Lh5RoundTrip, RandomAndTextInputs) {
    for (size_t n :
         {size_t(2), size_t(3), size_t(100), size_t(8191), size_t(8193), size_t(40000)}) {
        const std::string rnd = randomBytes(n, unsigned(n));
        EXPECT_EQ(roundTrip(rnd), rnd) << n;
    }
    const std::string text = sampleText(100000, 7);
    const std::string stored = packWith<Lh5>(text);
    EXPECT_LT(stored.size(), text.size() / 3);
    EXPECT_EQ(unpackWith<Lh5>(stored, int32_t(text.size())), text);
}

TEST(Lh5RoundTrip, ManyBlocksAndMoreThan65536Symbols) {
    // Incompressible bytes keep every symbol a literal: 200000 symbols in
    // blocks of at most 16360 buffered bytes.
    const std::string rnd = randomBytes(200000, 99);
    EXPECT_EQ(roundTrip(rnd), rnd);
    // Mixed: repeated text with random stretches, so matches cross blocks
    // and some blocks use few distance classes.
    std::string mixed;
    for (unsigned i = 0; i < 40; ++i)
        mixed += sampleText(3000, i % 3) + randomBytes(500 + i * 37, i) + std::string(i * 11, 'q');
    EXPECT_EQ(roundTrip(mixed), mixed);
}

TEST(Lh5Compress, WritesTheLhaBlockLayout) {
    // One literal: count 1; code-length code count 0, symbol 0; literal/length
    // code count 0, the symbol; distance code count 0, symbol 0; no symbol
    // bits; zero bits to the byte boundary.
    BitString a;
    a.put(16, 1).put(5, 0).put(5, 0).put(9, 0).put(9, 'a').put(4, 0).put(4, 0);
    EXPECT_EQ(packWith<Lh5>("a"), a.bytes());
    // Two literals of one bit each: lengths 0 0 1 | zero run 0 | 1 for the
    // code-length code (symbols 2 and 3), then 99 literal/length lengths: a
    // run of 97 zeros (symbol 2, 97 - 20 in 9 bits), two lengths of 1.
    BitString ab;
    ab.put(16, 2).put(5, 4).put("000").put("000").put("001").put(2, 0).put("001");
    ab.put(9, 99).put("0").put(9, 97 - 20).put("1").put("1");
    ab.put(4, 0).put(4, 0);
    ab.put("0").put("1");
    EXPECT_EQ(packWith<Lh5>("ab"), ab.bytes());
}

TEST(Lh5Expand, ZeroSizeReadsNothing) {
    StringIO io("\x12\x34");
    lh5::expand(io, 0);
    EXPECT_EQ(io.pos, 0u);
    EXPECT_EQ(io.readsPastEnd, 0u);
    EXPECT_TRUE(io.out.empty());
}

TEST(Lh5Expand, SingleSymbolBlocks) {
    BitString bits;
    singleSymbolBlock(bits, 5, 'A');
    EXPECT_EQ(unpackWith<Lh5>(bits.bytes(), 5), "AAAAA");

    // A match at the very start copies spaces; class 0 repeats the previous byte.
    BitString start;
    singleSymbolBlock(start, 2, 256);
    EXPECT_EQ(unpackWith<Lh5>(start.bytes(), 6), std::string(6, ' '));
}

TEST(Lh5Expand, DistanceClassesZeroAndOne) {
    auto stream = [](unsigned distClass) {
        BitString bits;
        singleSymbolBlock(bits, 1, 'a');
        singleSymbolBlock(bits, 1, 'b');
        singleSymbolBlock(bits, 1, 256, distClass); // match of 3
        return bits.bytes();
    };
    EXPECT_EQ(unpackWith<Lh5>(stream(0), 5), "abbbb");
    EXPECT_EQ(unpackWith<Lh5>(stream(1), 5), "ababa");
}

TEST(Lh5Expand, BlockCountZeroMeans65536) {
    BitString bits;
    singleSymbolBlock(bits, 0, 'x');
    singleSymbolBlock(bits, 1, 'y');
    const std::string out = unpackWith<Lh5>(bits.bytes(), 65537);
    ASSERT_EQ(out.size(), 65537u);
    EXPECT_EQ(out.find_first_not_of('x'), 65536u);
    EXPECT_EQ(out.back(), 'y');
}

TEST(Lh5Expand, LongCodeLengthsAndWholeMatchPastSize) {
    BitString bits;
    singleSymbolBlock(bits, 1, 'q');
    // Literal/length code: the match of 3 only; distance code with lengths
    // 7 7 6 5 4 3 2 1 for classes 0..7, so class 0 is 1111110.
    bits.put(16, 1).put(5, 0).put(5, 0).put(9, 0).put(9, 256);
    putLengths(bits, 4, {7, 7, 6, 5, 4, 3, 2, 1});
    bits.put("1111110");
    // Only two bytes are asked for; the match is still written whole.
    EXPECT_EQ(unpackWith<Lh5>(bits.bytes(), 2), "qqqq");
}

TEST(Lh5Expand, TwoSymbolLiteralCodeThroughCodeLengthCode) {
    // Literal/length lengths: 'a' and 256 get length 1; zero runs of 97 and
    // 158 use the code-length symbol 2 (20 + 9 bits); lengths of 1 use symbol 3.
    BitString bits;
    bits.put(16, 4);
    bits.put(5, 4).put("000").put("000").put("001"); // symbols 0..2: lengths 0 0 1
    bits.put(2, 0).put("001"); // no zero run after the third; symbol 3: length 1
    bits.put(9, 257);
    bits.put("0").put(9, 97 - 20).put("1");
    bits.put("0").put(9, 158 - 20).put("1");
    bits.put(4, 0).put(4, 2); // distance: class 2 only (values 2..3)
    bits.put("0").put("0").put("1").put(1, 1).put("1").put(1, 0);
    // a, a, match of 3 from value 3 (two spaces before the first a), match
    // of 3 from value 2.
    EXPECT_EQ(unpackWith<Lh5>(bits.bytes(), 8), "aa  a  a");
}

TEST(Lh5Expand, ImpossibleTablesAreRejected) {
    {
        SCOPED_TRACE("code-length count above 19");
        expectBadTable(BitString().put(16, 1).put(5, 20).bytes());
    }
    {
        SCOPED_TRACE("single code-length symbol out of range");
        expectBadTable(BitString().put(16, 1).put(5, 0).put(5, 19).bytes());
    }
    {
        SCOPED_TRACE("literal/length count above 510");
        BitString b;
        b.put(16, 1).put(5, 0).put(5, 0).put(9, 511);
        expectBadTable(b.bytes());
    }
    {
        SCOPED_TRACE("single literal/length symbol out of range");
        expectBadTable(BitString().put(16, 1).put(5, 0).put(5, 0).put(9, 0).put(9, 510).bytes());
    }
    {
        SCOPED_TRACE("zero run past the end of the literal/length lengths");
        BitString b;
        b.put(16, 1).put(5, 0).put(5, 2); // every code-length symbol is 2
        b.put(9, 510).put(9, 300).put(9, 300);
        expectBadTable(b.bytes());
    }
    {
        SCOPED_TRACE("distance count above 14");
        BitString c;
        c.put(16, 1).put(5, 0).put(5, 0).put(9, 0).put(9, 'a').put(4, 15);
        expectBadTable(c.bytes());
    }
    {
        SCOPED_TRACE("single distance class out of range");
        BitString c;
        c.put(16, 1).put(5, 0).put(5, 0).put(9, 0).put(9, 'a').put(4, 0).put(4, 14);
        expectBadTable(c.bytes());
    }
    auto distanceLengths = [](const std::vector<int>& lengths) {
        BitString c;
        c.put(16, 1).put(5, 0).put(5, 0).put(9, 0).put(9, 'a');
        putLengths(c, 4, lengths);
        return c.bytes();
    };
    {
        SCOPED_TRACE("length above 16");
        expectBadTable(distanceLengths({1, 17}));
    }
    {
        SCOPED_TRACE("incomplete code");
        expectBadTable(distanceLengths({1}));
        expectBadTable(distanceLengths({2, 2, 2}));
        expectBadTable(distanceLengths({0, 0}));
    }
    {
        SCOPED_TRACE("oversubscribed code, also when the total is a multiple of 65536");
        expectBadTable(distanceLengths({1, 1, 1}));
        expectBadTable(distanceLengths({1, 1, 1, 1}));
        expectBadTable(distanceLengths({1, 1, 2, 2, 2, 2}));
    }
    {
        SCOPED_TRACE("complete codes with lengths up to 16 are accepted");
        std::vector<int> lengths;
        for (int l = 1; l <= 13; ++l)
            lengths.push_back(l);
        lengths.push_back(13);
        StringIO io(distanceLengths(lengths));
        EXPECT_NO_THROW(lh5::expand(io, 1));
        EXPECT_EQ(io.out, "a");
    }
}

TEST(Lh5Expand, TruncatedAndArbitraryStreamsStayInBounds) {
    const std::string text = sampleText(50000, 3);
    const std::string stored = packWith<Lh5>(text);
    for (size_t cut : {size_t(0), size_t(1), size_t(3), stored.size() / 2, stored.size() - 1}) {
        StringIO io(stored.substr(0, cut));
        try {
            lh5::expand(io, int32_t(text.size()));
            EXPECT_GE(io.out.size(), text.size());
            EXPECT_LT(io.out.size(), text.size() + 256);
            EXPECT_EQ(io.out.compare(0, cut / 2, text, 0, cut / 2), 0);
        } catch (const ELZHBadDecodeTable&) {
        }
        EXPECT_LE(io.pos, cut);
    }
    // Arbitrary bytes: either a bad table or exactly the asked size plus at
    // most one match, never a crash.
    for (unsigned seed = 0; seed < 300; ++seed) {
        StringIO io(randomBytes(seed % 64 * 13, seed));
        try {
            lh5::expand(io, 5000);
            EXPECT_GE(io.out.size(), 5000u);
            EXPECT_LT(io.out.size(), 5000u + 256);
        } catch (const ELZHBadDecodeTable&) {
        }
    }
}
