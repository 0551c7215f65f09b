// Method 4 of the content archive: the -lh5- method of LHA. LZ77 over an
// 8192-byte window, coded in blocks; each block carries its own canonical
// Huffman codes for literals and match lengths and for match distances, whose
// code lengths are themselves sent with a small code-length code.
//
// The codec talks to its caller through an IO type with
//   uint8_t NextInputByte();  bool endOfInput() const;  void PutOutputByte(uint8_t);
// NextInputByte returns 0 once the stored data are used up, so a stream that
// ends early simply continues with zero bits.
#pragma once

#include "archive/errors.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <queue>
#include <vector>

namespace lh5 {
namespace detail {

constexpr int kWindowBits = 13;
constexpr unsigned kWindow = 1u << kWindowBits;
constexpr unsigned kWindowMask = kWindow - 1;
constexpr int kMaxMatch = 256;
constexpr int kThreshold = 3;
constexpr int kNC = 255 + kMaxMatch + 2 - kThreshold; // 510 literal/length symbols
constexpr int kNT = 19;                               // code-length symbols
constexpr int kNP = kWindowBits + 1;                  // 14 distance classes
constexpr int kCBits = 9;
constexpr int kTBits = 5;
constexpr int kPBits = 4;
constexpr int kTZeroRunPos = 3;
constexpr int kCTableBits = 12;
constexpr int kPTableBits = 8;
constexpr int kMaxCodeLen = 16;
constexpr int kTreeSize = 2 * kNC - 1; // 1019

// Builds the lookup table and the overflow tree of a canonical code. Nodes of
// the tree are numbered from `count` upward; left/right hold kTreeSize entries.
// Any set of lengths that is not a complete prefix code is rejected.
inline void buildTable(int count, const uint8_t* len, int tableBits, uint16_t* table,
                       uint16_t* left, uint16_t* right) {
    unsigned lenCount[kMaxCodeLen + 1] = {};
    for (int i = 0; i < count; ++i) {
        if (len[i] > kMaxCodeLen)
            throw ELZHBadDecodeTable();
        ++lenCount[len[i]];
    }
    uint32_t next[kMaxCodeLen + 2];
    next[1] = 0;
    for (int l = 1; l <= kMaxCodeLen; ++l)
        next[l + 1] = next[l] + (lenCount[l] << (kMaxCodeLen - l));
    if (next[kMaxCodeLen + 1] != (1u << kMaxCodeLen))
        throw ELZHBadDecodeTable();

    std::fill(table, table + (size_t(1) << tableBits), uint16_t(0));
    const int drop = kMaxCodeLen - tableBits;
    unsigned avail = unsigned(count);
    for (int sym = 0; sym < count; ++sym) {
        const int l = len[sym];
        if (l == 0)
            continue;
        const uint32_t code = next[l];
        next[l] += 1u << (kMaxCodeLen - l);
        if (l <= tableBits) {
            uint16_t* p = table + (code >> drop);
            std::fill(p, p + (size_t(1) << (tableBits - l)), uint16_t(sym));
            continue;
        }
        uint16_t* p = table + (code >> drop);
        uint32_t bits = code << tableBits;
        for (int i = l - tableBits; i > 0; --i) {
            if (*p == 0) {
                if (avail >= unsigned(kTreeSize))
                    throw ELZHBadDecodeTable();
                left[avail] = right[avail] = 0;
                *p = uint16_t(avail++);
            }
            p = (bits & 0x8000u) ? &right[*p] : &left[*p];
            bits <<= 1;
        }
        *p = uint16_t(sym);
    }
}

// Decoding table entries carry the code length above the symbol, saving a
// dependent load per symbol; tree nodes (id >= count) keep length 0.
constexpr unsigned kEntrySymbol = 0x7FF;
constexpr int kEntryLenShift = 11;

inline void addLengths(int count, const uint8_t* len, int tableBits, uint16_t* table) {
    for (size_t i = 0, n = size_t(1) << tableBits; i < n; ++i)
        if (table[i] < count)
            table[i] = uint16_t(table[i] | (len[table[i]] << kEntryLenShift));
}

template <class IO> class Decoder {
public:
    explicit Decoder(IO& io) : io_(io) {}

    // The hot loop keeps the bit buffer, the window position and the counts in
    // locals: every output byte is a store the compiler must assume may alias
    // the members.
    void run(int32_t expandedSize) {
        uint8_t* const window = window_;
        std::memset(window, ' ', kWindow);
        uint64_t buf = 0; // next bits, left-aligned
        int avail = 0;
        uint32_t blockLeft = 0;
        unsigned r = 0;
        int64_t count = 0;
        // At least 57 bits after this: a literal/length code (16), a distance
        // code (16) and its verbatim bits (12) fit.
        auto refill = [&] {
            while (avail <= 56) {
                buf |= uint64_t(io_.NextInputByte()) << (56 - avail);
                avail += 8;
            }
        };
        auto drop = [&](int k) {
            buf <<= k;
            avail -= k;
        };
        while (count < expandedSize) {
            refill();
            if (blockLeft == 0) {
                buf_ = buf;
                avail_ = avail;
                blockLeft = readBlockHead();
                buf = buf_;
                avail = avail_;
                refill();
            }
            --blockLeft;
            const unsigned e = cTable_[buf >> (64 - kCTableBits)];
            unsigned s = e & kEntrySymbol;
            int l = int(e >> kEntryLenShift);
            if (s >= unsigned(kNC)) {
                s = walk(buf, s, kNC, kCTableBits);
                l = cLen_[s];
            }
            drop(l);
            if (s < 256) {
                window[r] = uint8_t(s);
                io_.PutOutputByte(uint8_t(s));
                r = (r + 1) & kWindowMask;
                ++count;
                continue;
            }

            const unsigned pe = pTable_[buf >> (64 - kPTableBits)];
            unsigned j = pe & kEntrySymbol;
            int pl = int(pe >> kEntryLenShift);
            if (j >= unsigned(kNP)) {
                j = walk(buf, j, kNP, kPTableBits);
                pl = ptLen_[j];
            }
            drop(pl);
            unsigned d = j;
            if (j > 1) {
                d = (1u << (j - 1)) + unsigned(buf >> (64 - (j - 1)));
                drop(int(j) - 1);
            }

            const unsigned length = s - 253;
            unsigned from = (r - d - 1) & kWindowMask;
            count += length;
            if (from + length <= kWindow && r + length <= kWindow) {
                // No wrap: plain indexes. Byte by byte, so an overlapping
                // match repeats the bytes it has just produced.
                uint8_t* dst = window + r;
                const uint8_t* src = window + from;
                for (unsigned k = 0; k < length; ++k) {
                    const uint8_t b = src[k];
                    dst[k] = b;
                    io_.PutOutputByte(b);
                }
                r = (r + length) & kWindowMask;
                continue;
            }
            for (unsigned k = 0; k < length; ++k) {
                const uint8_t b = window[from];
                window[r] = b;
                io_.PutOutputByte(b);
                from = (from + 1) & kWindowMask;
                r = (r + 1) & kWindowMask;
            }
        }
    }

private:
    // Block heads are rare: they work on the member copy of the bit buffer.
    void refill() {
        while (avail_ <= 56) {
            buf_ |= uint64_t(io_.NextInputByte()) << (56 - avail_);
            avail_ += 8;
        }
    }
    unsigned peek(int k) const { return unsigned(buf_ >> (64 - k)); } // 1 <= k <= 32
    void skip(int k) {
        buf_ <<= k;
        avail_ -= k;
    }
    unsigned take(int k) { // 0 <= k <= 16, refilled by the caller
        if (k == 0)
            return 0;
        const unsigned v = peek(k);
        skip(k);
        return v;
    }
    unsigned takeFresh(int k) {
        refill();
        return take(k);
    }

    // Follows the overflow tree with the bits after the first `tableBits`.
    unsigned walk(uint64_t buf, unsigned j, int count, int tableBits) const {
        uint64_t bits = buf << tableBits;
        while (j >= unsigned(count)) {
            if (j >= unsigned(kTreeSize))
                throw ELZHBadDecodeTable();
            j = (bits >> 63) ? right_[j] : left_[j];
            bits <<= 1;
        }
        return j;
    }

    // Reads the codes of a block; returns its symbol count.
    uint32_t readBlockHead() {
        uint32_t symbols = takeFresh(16);
        if (symbols == 0)
            symbols = 65536;
        readPtLen(kNT, kTBits, kTZeroRunPos);
        readCLen();
        readPtLen(kNP, kPBits, -1);
        return symbols;
    }

    // The number of lengths that follow for a code of m symbols. A zero count
    // is followed by the only symbol, whose code is empty: every table entry
    // is that symbol, all lengths are 0, and 0 is returned.
    int readCount(int m, int countBits, uint8_t* len, uint16_t* table, int tableBits) {
        const int g = int(takeFresh(countBits));
        if (g > m)
            throw ELZHBadDecodeTable();
        if (g == 0) {
            const unsigned only = takeFresh(countBits);
            if (only >= unsigned(m))
                throw ELZHBadDecodeTable();
            std::fill(len, len + m, uint8_t(0));
            std::fill(table, table + (size_t(1) << tableBits), uint16_t(only));
        }
        return g;
    }

    // The code-length code (19 symbols, with a 2-bit run of zero lengths after
    // the third) or the distance code (14 symbols): a count, then each length
    // as 3 bits, or 111 followed by ones and a closing 0 for 7 and more. A zero
    // count is followed by the only symbol, whose code is empty.
    void readPtLen(int m, int countBits, int zeroRunPos) {
        const int g = readCount(m, countBits, ptLen_, pTable_, kPTableBits);
        if (g == 0)
            return;
        int i = 0;
        while (i < g) {
            refill();
            unsigned l = peek(3);
            if (l == 7) {
                // 111, then one more for every further 1 bit, closed by a 0.
                uint64_t bits = buf_ << 3;
                while ((bits >> 63) && l <= unsigned(kMaxCodeLen)) {
                    ++l;
                    bits <<= 1;
                }
                if (l > unsigned(kMaxCodeLen))
                    throw ELZHBadDecodeTable();
                skip(int(l) - 3);
            } else {
                skip(3);
            }
            ptLen_[i++] = uint8_t(l);
            if (i == zeroRunPos) {
                const int zeros = int(take(2));
                if (i + zeros > m)
                    throw ELZHBadDecodeTable();
                for (int z = 0; z < zeros; ++z)
                    ptLen_[i++] = 0;
            }
        }
        std::fill(ptLen_ + i, ptLen_ + m, uint8_t(0));
        buildTable(m, ptLen_, kPTableBits, pTable_, left_, right_);
        addLengths(m, ptLen_, kPTableBits, pTable_);
    }

    // The literal/length lengths, coded with the code-length code: symbol 0
    // is one zero length, 1 and 2 are runs of 3..18 and 20..531 zero lengths,
    // 3..18 the lengths 1..16.
    void readCLen() {
        const int g = readCount(kNC, kCBits, cLen_, cTable_, kCTableBits);
        if (g == 0)
            return;
        int i = 0;
        while (i < g) {
            refill();
            unsigned x = pTable_[peek(kPTableBits)] & kEntrySymbol;
            if (x >= unsigned(kNT))
                x = walk(buf_, x, kNT, kPTableBits);
            skip(ptLen_[x]);
            if (x > 2) {
                cLen_[i++] = uint8_t(x - 2);
                continue;
            }
            const int zeros = x == 0 ? 1 : x == 1 ? int(take(4)) + 3 : int(take(kCBits)) + 20;
            if (i + zeros > kNC)
                throw ELZHBadDecodeTable();
            std::fill(cLen_ + i, cLen_ + i + zeros, uint8_t(0));
            i += zeros;
        }
        std::fill(cLen_ + i, cLen_ + kNC, uint8_t(0));
        buildTable(kNC, cLen_, kCTableBits, cTable_, left_, right_);
        addLengths(kNC, cLen_, kCTableBits, cTable_);
    }

    IO& io_;
    uint64_t buf_ = 0;
    int avail_ = 0;
    uint8_t cLen_[kNC];
    uint8_t ptLen_[kNT];
    uint16_t cTable_[1u << kCTableBits];
    uint16_t pTable_[1u << kPTableBits];
    uint16_t left_[kTreeSize];
    uint16_t right_[kTreeSize];
    uint8_t window_[kWindow];
};

// Huffman code lengths for `count` symbols, limited to 16 bits. Returns the
// only used symbol when fewer than two symbols occur (its length stays 0),
// otherwise -1.
inline int makeLengths(int count, const uint32_t* freq, uint8_t* len) {
    std::fill(len, len + count, uint8_t(0));
    std::vector<int> used;
    for (int i = 0; i < count; ++i)
        if (freq[i] != 0)
            used.push_back(i);
    if (used.size() < 2)
        return used.empty() ? 0 : used[0];

    // Plain Huffman tree over the used symbols; ties broken by node number so
    // that the result does not depend on the library's heap.
    const size_t n = used.size();
    std::vector<uint64_t> weight(2 * n - 1);
    std::vector<int> parent(2 * n - 1, -1);
    using Item = std::pair<uint64_t, int>;
    std::priority_queue<Item, std::vector<Item>, std::greater<Item>> heap;
    for (size_t i = 0; i < n; ++i) {
        weight[i] = freq[used[i]];
        heap.emplace(weight[i], int(i));
    }
    for (size_t next = n; next < 2 * n - 1; ++next) {
        const Item a = heap.top();
        heap.pop();
        const Item b = heap.top();
        heap.pop();
        weight[next] = a.first + b.first;
        parent[size_t(a.second)] = parent[size_t(b.second)] = int(next);
        heap.emplace(weight[next], int(next));
    }
    std::vector<int> depth(2 * n - 1, 0);
    for (size_t i = 2 * n - 1; i-- > 0;)
        if (parent[i] >= 0)
            depth[i] = depth[size_t(parent[i])] + 1;

    // Count the leaves per length, folding longer ones into 16 bits, then
    // repair the Kraft sum the way LHA does: move leaves from 16 up a level.
    unsigned lenCount[kMaxCodeLen + 1] = {};
    for (size_t i = 0; i < n; ++i)
        ++lenCount[std::min(depth[i], kMaxCodeLen)];
    uint32_t cum = 0;
    for (int l = kMaxCodeLen; l > 0; --l)
        cum += lenCount[l] << (kMaxCodeLen - l);
    while (cum != (1u << kMaxCodeLen)) {
        --lenCount[kMaxCodeLen];
        for (int l = kMaxCodeLen - 1; l > 0; --l) {
            if (lenCount[l] != 0) {
                --lenCount[l];
                lenCount[l + 1] += 2;
                break;
            }
        }
        --cum;
    }

    // The most frequent symbols get the shortest codes.
    std::vector<int> order(used);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return freq[a] > freq[b]; });
    size_t k = 0;
    for (int l = 1; l <= kMaxCodeLen; ++l)
        for (unsigned c = 0; c < lenCount[l]; ++c)
            len[order[k++]] = uint8_t(l);
    return -1;
}

// Canonical codes: by length, then by symbol.
inline void makeCodes(int count, const uint8_t* len, uint16_t* code) {
    unsigned lenCount[kMaxCodeLen + 1] = {};
    for (int i = 0; i < count; ++i)
        ++lenCount[len[i]];
    uint32_t start[kMaxCodeLen + 2];
    start[1] = 0;
    for (int l = 1; l <= kMaxCodeLen; ++l)
        start[l + 1] = (start[l] + lenCount[l]) << 1;
    for (int i = 0; i < count; ++i)
        code[i] = len[i] ? uint16_t(start[len[i]]++) : 0;
}

template <class IO> class Encoder {
public:
    explicit Encoder(IO& io) : io_(io) {}

    void run() {
        std::vector<uint8_t> text;
        for (;;) {
            const uint8_t b = io_.NextInputByte();
            if (io_.endOfInput())
                break;
            text.push_back(b);
        }
        if (text.empty())
            return;
        parse(text);
        if (bufPos_ > 0)
            sendBlock();
        flushBits();
    }

private:
    static constexpr size_t kBufSize = 16384;
    static constexpr size_t kBlockLimit = kBufSize - 24;
    static constexpr int kHashBits = 15;
    static constexpr int kMaxChain = 128;
    static constexpr unsigned kMaxDistance = kWindow - 1;
    static constexpr unsigned kNiceLength = 128;      // taken at once, no search inside
    static constexpr size_t kChunk = size_t(1) << 15; // input bytes parsed together
    static constexpr uint32_t kInfinite = 0xFFFFFFFFu;

    struct Match {
        uint16_t len = 0;
        uint16_t dist = 0;
    };

    // ---- match finder: hash chains over three-byte prefixes ----
    static unsigned hashAt(const uint8_t* p) {
        return ((unsigned(p[0]) << 10) ^ (unsigned(p[1]) << 5) ^ p[2]) * 2654435761u >>
               (32 - kHashBits);
    }

    void insert(const std::vector<uint8_t>& text, size_t i) {
        if (i + 2 >= text.size())
            return;
        const unsigned h = hashAt(&text[i]);
        prev_[i & kWindowMask] = head_[h];
        head_[h] = int32_t(i);
    }

    // Appends to found_ the matches at i that are longer than every nearer
    // one (so lengths and distances both increase); returns the longest length.
    unsigned collect(const std::vector<uint8_t>& text, size_t i, size_t maxLen) {
        unsigned best = kThreshold - 1;
        if (maxLen < size_t(kThreshold))
            return 0;
        const uint8_t* b = &text[i];
        int chain = kMaxChain;
        for (int32_t c = head_[hashAt(b)]; c >= 0 && i - size_t(c) <= kMaxDistance && chain--;
             c = prev_[size_t(c) & kWindowMask]) {
            const uint8_t* a = &text[size_t(c)];
            if (a[best] != b[best] || a[0] != b[0])
                continue;
            size_t len = 0;
            while (len < maxLen && a[len] == b[len])
                ++len;
            if (len > best) {
                best = unsigned(len);
                found_.push_back({uint16_t(len), uint16_t(i - size_t(c))});
                if (len >= std::min<size_t>(maxLen, kNiceLength))
                    break;
            }
        }
        return best >= unsigned(kThreshold) ? best : 0;
    }

    // ---- parse: for each chunk, the cheapest path through all found matches
    // under a bit-cost model, refined once with the statistics of the first
    // path ----
    void parse(const std::vector<uint8_t>& text) {
        head_.assign(size_t(1) << kHashBits, -1);
        prev_.assign(kWindow, -1);
        for (size_t begin = 0; begin < text.size(); begin += kChunk) {
            const size_t end = std::min(text.size(), begin + kChunk);
            findAll(text, begin, end);
            std::vector<Match> path = greedyPath(end - begin);
            for (int pass = 0; pass < 2; ++pass) {
                setCosts(text, begin, path);
                path = cheapestPath(text, begin, end - begin);
            }
            size_t i = begin;
            for (const Match& m : path) {
                if (m.len == 1)
                    output(text[i], 0);
                else
                    output(m.len + 253u, m.dist - 1u);
                i += m.len;
            }
        }
    }

    void findAll(const std::vector<uint8_t>& text, size_t begin, size_t end) {
        found_.clear();
        first_.assign(end - begin + 1, 0);
        size_t skipTo = begin;
        for (size_t i = begin; i < end; ++i) {
            first_[i - begin] = uint32_t(found_.size());
            if (i >= skipTo) {
                const unsigned longest = collect(text, i, std::min<size_t>(kMaxMatch, end - i));
                if (longest >= kNiceLength)
                    skipTo = i + longest;
            }
            insert(text, i);
        }
        first_[end - begin] = uint32_t(found_.size());
    }

    // Longest match at every step: the statistics to start from.
    std::vector<Match> greedyPath(size_t count) const {
        std::vector<Match> path;
        for (size_t k = 0; k < count;) {
            Match m{1, 0};
            if (first_[k + 1] > first_[k])
                m = found_[first_[k + 1] - 1];
            path.push_back(m);
            k += m.len;
        }
        return path;
    }

    // Bits per literal/length symbol and per distance (class code plus its
    // verbatim bits), from Huffman lengths over the symbols of a path.
    void setCosts(const std::vector<uint8_t>& text, size_t begin, const std::vector<Match>& path) {
        uint32_t cFreq[kNC] = {};
        uint32_t pFreq[kNP] = {};
        size_t i = begin;
        for (const Match& m : path) {
            if (m.len == 1) {
                ++cFreq[text[i]];
            } else {
                ++cFreq[m.len + 253u];
                ++pFreq[distanceClass(m.dist - 1u)];
            }
            i += m.len;
        }
        uint8_t len[kNC];
        const int cOnly = makeLengths(kNC, cFreq, len);
        for (int c = 0; c < kNC; ++c)
            cCost_[c] = cOnly >= 0 ? (c == cOnly ? 1 : 12) : (len[c] ? len[c] : 12);
        const int pOnly = makeLengths(kNP, pFreq, len);
        for (int c = 0; c < kNP; ++c)
            pCost_[c] =
                (pOnly >= 0 ? (c == pOnly ? 1 : 6) : (len[c] ? len[c] : 6)) + (c > 1 ? c - 1 : 0);
    }

    std::vector<Match> cheapestPath(const std::vector<uint8_t>& text, size_t begin, size_t count) {
        price_.assign(count + 1, kInfinite);
        step_.resize(count + 1);
        price_[0] = 0;
        for (size_t k = 0; k < count; ++k) {
            const uint32_t here = price_[k];
            const uint32_t lit = here + cCost_[text[begin + k]];
            if (lit < price_[k + 1]) {
                price_[k + 1] = lit;
                step_[k + 1] = {1, 0};
            }
            unsigned from = kThreshold;
            for (uint32_t f = first_[k]; f < first_[k + 1]; ++f) {
                const Match m = found_[f];
                const uint32_t base = here + pCost_[distanceClass(m.dist - 1u)];
                for (unsigned l = from; l <= m.len; ++l) {
                    const uint32_t p = base + cCost_[l + 253];
                    if (p < price_[k + l]) {
                        price_[k + l] = p;
                        step_[k + l] = {uint16_t(l), m.dist};
                    }
                }
                from = m.len + 1u;
            }
        }
        std::vector<Match> path;
        for (size_t k = count; k > 0; k -= step_[k].len)
            path.push_back(step_[k]);
        std::reverse(path.begin(), path.end());
        return path;
    }

    // ---- pending symbols: a flag byte per eight symbols, then one byte per
    // literal or three per match (length, distance high, distance low) ----
    void output(unsigned c, unsigned p) {
        if ((mask_ >>= 1) == 0) {
            mask_ = 0x80;
            if (bufPos_ >= kBlockLimit) {
                sendBlock();
                bufPos_ = 0;
            }
            flagPos_ = bufPos_++;
            buf_[flagPos_] = 0;
        }
        buf_[bufPos_++] = uint8_t(c);
        ++cFreq_[c];
        if (c >= 256) {
            buf_[flagPos_] |= uint8_t(mask_);
            buf_[bufPos_++] = uint8_t(p >> 8);
            buf_[bufPos_++] = uint8_t(p);
            ++pFreq_[distanceClass(p)];
        }
    }

    // Number of significant bits of a distance value (0 for 0).
    static int distanceClass(unsigned p) {
#if defined(__GNUC__)
        return p ? 32 - __builtin_clz(p) : 0;
#else
        int c = 0;
        for (; p; p >>= 1)
            ++c;
        return c;
#endif
    }

    // ---- block writer ----
    void sendBlock() {
        const int cOnly = makeLengths(kNC, cFreq_, cLen_);
        uint32_t symbols = 0;
        for (int i = 0; i < kNC; ++i)
            symbols += cFreq_[i];
        putBits(16, symbols & 0xFFFF);
        if (cOnly < 0) {
            makeCodes(kNC, cLen_, cCode_);
            countTFreq();
            const int tOnly = makeLengths(kNT, tFreq_, ptLen_);
            if (tOnly < 0) {
                makeCodes(kNT, ptLen_, ptCode_);
                writePtLen(kNT, kTBits, kTZeroRunPos);
            } else {
                putBits(kTBits, 0);
                putBits(kTBits, unsigned(tOnly));
            }
            writeCLen();
        } else {
            putBits(kTBits, 0);
            putBits(kTBits, 0);
            putBits(kCBits, 0);
            putBits(kCBits, unsigned(cOnly));
        }
        const int pOnly = makeLengths(kNP, pFreq_, ptLen_);
        if (pOnly < 0) {
            makeCodes(kNP, ptLen_, ptCode_);
            writePtLen(kNP, kPBits, -1);
        } else {
            putBits(kPBits, 0);
            putBits(kPBits, unsigned(pOnly));
        }

        unsigned flags = 0;
        for (size_t pos = 0, k = 0; pos < bufPos_; ++k) {
            if (k % 8 == 0)
                flags = buf_[pos++];
            else
                flags <<= 1;
            if (flags & 0x80) {
                putBits(cLen_[buf_[pos] + 256u], cCode_[buf_[pos] + 256u]);
                const unsigned p = (unsigned(buf_[pos + 1]) << 8) | buf_[pos + 2];
                pos += 3;
                const int cls = distanceClass(p);
                putBits(ptLen_[cls], ptCode_[cls]);
                if (cls > 1)
                    putBits(cls - 1, p & ((1u << (cls - 1)) - 1));
            } else {
                putBits(cLen_[buf_[pos]], cCode_[buf_[pos]]);
                ++pos;
            }
        }
        std::fill(cFreq_, cFreq_ + kNC, 0u);
        std::fill(pFreq_, pFreq_ + kNP, 0u);
    }

    int usedCount(const uint8_t* len, int count) const {
        while (count > 0 && len[count - 1] == 0)
            --count;
        return count;
    }

    // Frequencies of the code-length code over the literal/length lengths.
    void countTFreq() {
        std::fill(tFreq_, tFreq_ + kNT, 0u);
        const int n = usedCount(cLen_, kNC);
        for (int i = 0; i < n;) {
            const int k = cLen_[i++];
            if (k != 0) {
                ++tFreq_[k + 2];
                continue;
            }
            int run = 1;
            while (i < n && cLen_[i] == 0) {
                ++i;
                ++run;
            }
            if (run <= 2) {
                tFreq_[0] += unsigned(run);
            } else if (run <= 18) {
                ++tFreq_[1];
            } else if (run == 19) {
                ++tFreq_[0];
                ++tFreq_[1];
            } else {
                ++tFreq_[2];
            }
        }
    }

    void writePtLen(int m, int countBits, int zeroRunPos) {
        const int n = usedCount(ptLen_, m);
        putBits(countBits, unsigned(n));
        for (int i = 0; i < n;) {
            const int k = ptLen_[i++];
            if (k <= 6)
                putBits(3, unsigned(k));
            else
                putBits(k - 3, (1u << (k - 3)) - 2);
            if (i == zeroRunPos) {
                while (i < 6 && ptLen_[i] == 0)
                    ++i;
                putBits(2, unsigned(i - 3));
            }
        }
    }

    void writeCLen() {
        const int n = usedCount(cLen_, kNC);
        putBits(kCBits, unsigned(n));
        for (int i = 0; i < n;) {
            const int k = cLen_[i++];
            if (k != 0) {
                putBits(ptLen_[k + 2], ptCode_[k + 2]);
                continue;
            }
            int run = 1;
            while (i < n && cLen_[i] == 0) {
                ++i;
                ++run;
            }
            if (run <= 2) {
                for (int z = 0; z < run; ++z)
                    putBits(ptLen_[0], ptCode_[0]);
            } else if (run <= 18) {
                putBits(ptLen_[1], ptCode_[1]);
                putBits(4, unsigned(run - 3));
            } else if (run == 19) {
                putBits(ptLen_[0], ptCode_[0]);
                putBits(ptLen_[1], ptCode_[1]);
                putBits(4, 15);
            } else {
                putBits(ptLen_[2], ptCode_[2]);
                putBits(kCBits, unsigned(run - 20));
            }
        }
    }

    // ---- bit writer, most significant bit first ----
    void putBits(int n, unsigned x) { // n <= 16
        bitBuf_ = (bitBuf_ << n) | (x & ((1u << n) - 1));
        bitCount_ += n;
        while (bitCount_ >= 8) {
            bitCount_ -= 8;
            io_.PutOutputByte(uint8_t(bitBuf_ >> bitCount_));
        }
    }

    // The 7 zero bits after the last block: complete the last byte.
    void flushBits() {
        if (bitCount_ > 0)
            putBits(8 - bitCount_, 0);
    }

    IO& io_;
    uint32_t bitBuf_ = 0;
    int bitCount_ = 0;
    std::vector<int32_t> head_;
    std::vector<int32_t> prev_;
    std::vector<Match> found_;    // matches of the chunk, position by position
    std::vector<uint32_t> first_; // index in found_ of each position's first
    std::vector<uint32_t> price_; // cheapest bits to reach each position
    std::vector<Match> step_;     // the step that reaches it that cheaply
    uint32_t cCost_[kNC] = {};
    uint32_t pCost_[kNP] = {};
    uint8_t buf_[kBufSize];
    size_t bufPos_ = 0;
    size_t flagPos_ = 0;
    unsigned mask_ = 0;
    uint32_t cFreq_[kNC] = {};
    uint32_t pFreq_[kNP] = {};
    uint32_t tFreq_[kNT] = {};
    uint8_t cLen_[kNC] = {};
    uint8_t ptLen_[kNT] = {};
    uint16_t cCode_[kNC] = {};
    uint16_t ptCode_[kNT] = {};
};

} // namespace detail

template <class IO> void expand(IO& io, int32_t expandedSize) {
    if (expandedSize <= 0)
        return;
    auto decoder = std::make_unique<detail::Decoder<IO>>(io);
    decoder->run(expandedSize);
}

template <class IO> void compress(IO& io) {
    auto encoder = std::make_unique<detail::Encoder<IO>>(io);
    encoder->run();
}

} // namespace lh5
