// Method 2 of the content archive: LZHUF (Okumura and Yoshizaki). LZSS over a
// 4096-byte window whose literals and match lengths are coded with an
// adaptive Huffman code; the upper six bits of a match position use a fixed
// prefix code, the lower six bits are sent verbatim.
//
// The codec talks to its caller through an IO type with
//   uint8_t NextInputByte();  bool endOfInput() const;  void PutOutputByte(uint8_t);
// NextInputByte returns 0 once the stored data are used up, so a stream that
// ends early simply continues with zero bits.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace lzh {
namespace detail {

constexpr int kWindow = 4096;
constexpr int kMaxMatch = 60;
constexpr int kThreshold = 2;
constexpr int kSymbols = 256 - kThreshold + kMaxMatch; // 314
constexpr int kTable = 2 * kSymbols - 1;               // 627
constexpr int kRoot = kTable - 1;                      // 626
constexpr uint16_t kRebuildLimit = 0x8000;
constexpr int kFirstWrite = kWindow - kMaxMatch; // 4036

// Adaptive Huffman tree. Node slots come in sibling pairs (2k, 2k + 1); a son
// value of kTable or more is the leaf of symbol (value - kTable).
struct AdaptiveTree {
    uint16_t freq[kTable + 1];
    uint16_t son[kTable];
    uint16_t prnt[kTable + kSymbols];

    AdaptiveTree() {
        for (int s = 0; s < kSymbols; ++s) {
            freq[s] = 1;
            son[s] = static_cast<uint16_t>(s + kTable);
            prnt[s + kTable] = static_cast<uint16_t>(s);
        }
        for (int i = 0, j = kSymbols; j < kTable; i += 2, ++j) {
            freq[j] = static_cast<uint16_t>(freq[i] + freq[i + 1]);
            son[j] = static_cast<uint16_t>(i);
            prnt[i] = prnt[i + 1] = static_cast<uint16_t>(j);
        }
        freq[kTable] = 0xFFFF; // stop value for the searches in update()
        prnt[kRoot] = 0;
    }

    void rebuild() {
        int j = 0;
        for (int i = 0; i < kTable; ++i) {
            if (son[i] >= kTable) {
                freq[j] = static_cast<uint16_t>((freq[i] + 1) / 2);
                son[j] = son[i];
                ++j;
            }
        }
        for (int i = 0, n = kSymbols; n < kTable; i += 2, ++n) {
            const uint16_t f = static_cast<uint16_t>(freq[i] + freq[i + 1]);
            int k = n;
            while (freq[k - 1] > f)
                --k;
            std::copy_backward(freq + k, freq + n, freq + n + 1);
            std::copy_backward(son + k, son + n, son + n + 1);
            freq[k] = f;
            son[k] = static_cast<uint16_t>(i);
        }
        for (int i = 0; i < kTable; ++i) {
            const int k = son[i];
            prnt[k] = static_cast<uint16_t>(i);
            if (k < kTable)
                prnt[k + 1] = static_cast<uint16_t>(i);
        }
    }

    void update(int symbol) {
        if (freq[kRoot] == kRebuildLimit)
            rebuild();
        int m = prnt[symbol + kTable];
        do {
            const uint16_t k = ++freq[m];
            if (k > freq[m + 1]) {
                int l = m + 1;
                while (k > freq[l + 1])
                    ++l;
                freq[m] = freq[l];
                freq[l] = k;
                const int i = son[m];
                prnt[i] = static_cast<uint16_t>(l);
                if (i < kTable)
                    prnt[i + 1] = static_cast<uint16_t>(l);
                const int j = son[l];
                son[l] = static_cast<uint16_t>(i);
                prnt[j] = static_cast<uint16_t>(m);
                if (j < kTable)
                    prnt[j + 1] = static_cast<uint16_t>(m);
                son[m] = static_cast<uint16_t>(j);
                m = l;
            }
            m = prnt[m];
        } while (m != 0);
    }
};

// Fixed prefix code of the upper six position bits: lengths 3..8, codes
// assigned canonically in increasing order of the value.
struct PositionCode {
    uint8_t length[64];
    uint8_t code[64];    // left-aligned in 8 bits
    uint8_t decode[256]; // next 8 input bits -> upper six bits
    uint8_t decodeLen[256];

    PositionCode() {
        int u = 0;
        unsigned next = 0; // next code, left-aligned in 8 bits
        const int counts[] = {1, 3, 8, 12, 24, 16};
        for (int len = 3; len <= 8; ++len) {
            for (int c = 0; c < counts[len - 3]; ++c, ++u) {
                length[u] = static_cast<uint8_t>(len);
                code[u] = static_cast<uint8_t>(next);
                const unsigned span = 1u << (8 - len);
                for (unsigned v = next; v < next + span; ++v) {
                    decode[v] = static_cast<uint8_t>(u);
                    decodeLen[v] = static_cast<uint8_t>(len);
                }
                next += span;
            }
        }
    }

    static const PositionCode& get() {
        static const PositionCode table;
        return table;
    }
};

// Bits most significant first; after the end of the stored data the bytes are 0.
template <class IO> class BitReader {
public:
    explicit BitReader(IO& io) : io_(io) {}

    unsigned bit() {
        if (avail_ == 0) {
            buf_ = io_.NextInputByte();
            avail_ = 8;
        }
        --avail_;
        return (buf_ >> avail_) & 1u;
    }

    unsigned bits(int count) {
        unsigned v = 0;
        while (count--)
            v = (v << 1) | bit();
        return v;
    }

private:
    IO& io_;
    unsigned buf_ = 0;
    int avail_ = 0;
};

template <class IO> class BitWriter {
public:
    explicit BitWriter(IO& io) : io_(io) {}

    void put(int count, unsigned value) { // count <= 24
        buf_ = (buf_ << count) | (value & ((1u << count) - 1));
        avail_ += count;
        while (avail_ >= 8) {
            avail_ -= 8;
            io_.PutOutputByte(static_cast<uint8_t>(buf_ >> avail_));
        }
    }

    void flush() {
        if (avail_ > 0)
            put(8 - avail_, 0);
    }

private:
    IO& io_;
    uint32_t buf_ = 0;
    int avail_ = 0;
};

// Sends literals and matches: each symbol with the code of the current tree
// (root first, however long), then updates the tree as the decoder will.
template <class IO> class SymbolWriter {
public:
    explicit SymbolWriter(IO& io) : tree_(new AdaptiveTree), out_(io) {}

    void literal(uint8_t b) { send(b); }

    // length 3..60, distance 1..4096
    void match(unsigned length, unsigned distance) {
        const PositionCode& pc = PositionCode::get();
        send(int(length) + 253);
        const unsigned p = distance - 1;
        const int len = pc.length[p >> 6];
        out_.put(len, pc.code[p >> 6] >> (8 - len));
        out_.put(6, p & 0x3F);
    }

    // Completes the last byte with zero bits.
    void finish() { out_.flush(); }

private:
    void send(int symbol) {
        int depth = 0;
        for (unsigned k = tree_->prnt[symbol + kTable]; k != unsigned(kRoot); k = tree_->prnt[k])
            path_[depth++] = uint8_t(k & 1u); // slots pair up as (2i, 2i + 1)
        while (depth > 0)
            out_.put(1, path_[--depth]);
        tree_->update(symbol);
    }

    std::unique_ptr<AdaptiveTree> tree_;
    BitWriter<IO> out_;
    uint8_t path_[kTable];
};

struct ExpandState {
    AdaptiveTree tree;
    uint8_t window[kWindow];
};

} // namespace detail

template <class IO> void expand(IO& io, int32_t expandedSize) {
    using namespace detail;
    if (expandedSize <= 0)
        return;
    const PositionCode& pos = PositionCode::get();
    auto state = std::make_unique<ExpandState>();
    AdaptiveTree& tree = state->tree;
    uint8_t* window = state->window;
    std::fill(window, window + kFirstWrite, uint8_t(' '));
    std::fill(window + kFirstWrite, window + kWindow, uint8_t(0));
    BitReader<IO> in(io);

    unsigned r = kFirstWrite;
    int64_t count = 0;
    while (count < expandedSize) {
        unsigned m = tree.son[kRoot];
        while (m < unsigned(kTable))
            m = tree.son[m + in.bit()];
        const int symbol = int(m) - kTable;
        tree.update(symbol);
        if (symbol < 256) {
            io.PutOutputByte(static_cast<uint8_t>(symbol));
            window[r] = static_cast<uint8_t>(symbol);
            r = (r + 1) & (kWindow - 1);
            ++count;
            continue;
        }
        const unsigned v = in.bits(8);
        const int extra = pos.decodeLen[v] - 2;
        const unsigned low = ((v << extra) | in.bits(extra)) & 0x3F;
        const unsigned p = (unsigned(pos.decode[v]) << 6) | low;
        const int length = symbol - 253;
        const unsigned start = (r - p - 1) & (kWindow - 1);
        for (int k = 0; k < length; ++k) {
            const uint8_t b = window[(start + k) & (kWindow - 1)];
            io.PutOutputByte(b);
            window[r] = b;
            r = (r + 1) & (kWindow - 1);
        }
        count += length;
    }
}

template <class IO> void compress(IO& io) {
    using namespace detail;
    // The text as the decoder's window sees it: the initial spaces, then the input.
    std::vector<uint8_t> text(kFirstWrite, uint8_t(' '));
    for (;;) {
        const uint8_t b = io.NextInputByte();
        if (io.endOfInput())
            break;
        text.push_back(b);
    }
    if (text.size() == size_t(kFirstWrite))
        return;

    SymbolWriter<IO> out(io);

    // Hash chains over three-byte prefixes; the chain is walked nearest first.
    constexpr int kHashBits = 13;
    constexpr int kMaxChain = 256;
    constexpr size_t kMaxDistance = kWindow - 1;
    std::vector<int32_t> head(size_t(1) << kHashBits, -1);
    std::vector<int32_t> prev(text.size(), -1);
    const size_t n = text.size();
    auto hashAt = [&](size_t i) {
        return ((unsigned(text[i]) << 10) ^ (unsigned(text[i + 1]) << 5) ^ text[i + 2]) &
               ((1u << kHashBits) - 1);
    };
    auto insert = [&](size_t i) {
        if (i + 2 < n) {
            const unsigned h = hashAt(i);
            prev[i] = head[h];
            head[h] = int32_t(i);
        }
    };
    for (size_t i = 0; i < size_t(kFirstWrite); ++i)
        insert(i);

    size_t i = kFirstWrite;
    while (i < n) {
        const size_t maxLen = std::min<size_t>(kMaxMatch, n - i);
        size_t bestLen = 0, bestDist = 0;
        if (maxLen > size_t(kThreshold)) {
            int chain = kMaxChain;
            for (int32_t c = head[hashAt(i)]; c >= 0 && i - size_t(c) <= kMaxDistance && chain--;
                 c = prev[size_t(c)]) {
                const uint8_t* a = &text[size_t(c)];
                const uint8_t* b = &text[i];
                if (a[bestLen] != b[bestLen])
                    continue;
                size_t len = 0;
                while (len < maxLen && a[len] == b[len])
                    ++len;
                if (len > bestLen) {
                    bestLen = len;
                    bestDist = i - size_t(c);
                    if (len == maxLen)
                        break;
                }
            }
        }
        if (bestLen <= size_t(kThreshold)) {
            out.literal(text[i]);
            insert(i);
            ++i;
            continue;
        }
        out.match(unsigned(bestLen), unsigned(bestDist));
        for (size_t k = 0; k < bestLen; ++k)
            insert(i + k);
        i += bestLen;
    }
    out.finish();
}

} // namespace lzh
