// The engine under every compressed member: moves bytes from the stored data
// through an 8 KB input buffer into a method and from the method through an
// 8 KB output buffer into the destination, keeps the byte sums, applies the
// key, reports progress and gives up the time slice between blocks.
//
// The methods are templates over the engine type and see only
// NextInputByte, endOfInput and PutOutputByte; these stay inline so that a
// decoder's inner loop costs a compare and a store per byte.
#pragma once

#include "archive/compress.h"
#include "archive/stream.h"

#include <cstdint>
#include <memory>

enum class TRunDirection { expand, compress };

constexpr uint8_t RleEscape = 0x94;

class TMethodEngine {
public:
    static constexpr int BufferSize = 8192;

    // expectedLength bounds the output when expanding (a decoder may run a
    // last match past it, never further); when compressing the output may
    // not grow beyond inputLength.
    TMethodEngine(TRunDirection direction, TStream& input, int64_t inputLength, TStream& output,
                  int64_t expectedLength, bool scrambled, const TCompress& component);
    TMethodEngine(const TMethodEngine&) = delete;
    TMethodEngine& operator=(const TMethodEngine&) = delete;

    // Next stored byte; 0 with endOfInput() set once the data are used up or
    // the progress handler asked to stop.
    uint8_t NextInputByte() {
        if (inPos_ == inEnd_ && !fillInput())
            return 0;
        return inBuf_[inPos_++];
    }

    bool endOfInput() const { return endOfInput_; }

    void PutOutputByte(uint8_t b) {
        if (outPos_ == outLimit_) // buffer full or budget used up
            makeRoom();
        outBuf_[outPos_++] = b;
    }

    // Writes what the output buffer still holds; call once on success. The
    // sums are complete after it.
    void finish();

    uint32_t inputSum() const { return inSum_; }
    uint32_t outputSum() const { return outSum_; }

    // The key is applied and the sums are taken a block at a time: input
    // blocks are unscrambled as they arrive, output blocks scrambled as they
    // leave, with the key byte of each byte's position in its stream.
private:
    bool fillInput();
    void makeRoom();
    void sumConsumedInput();
    void writeOutput(int count);

    TRunDirection direction_;
    TStream& input_;
    TStream& output_;
    const TShowProgressEvent& onProgress_;

    std::unique_ptr<uint8_t[]> inBuf_;
    std::unique_ptr<uint8_t[]> outBuf_;
    int inPos_ = 0;
    int inEnd_ = 0;
    int inSummed_ = 0;           // input bytes before this one are in inSum_
    unsigned inBlockKeyPos_ = 0; // key position of the input block's first byte
    int outPos_ = 0;
    // The fast path of PutOutputByte runs up to outLimit_: the end of the
    // buffer, or earlier when the output budget ends there. budget_ is what
    // remains of the budget beyond outLimit_.
    int outLimit_ = 0;
    int64_t inputRemaining_;
    int64_t fetched_ = 0;
    int64_t budget_;
    bool endOfInput_ = false;

    uint32_t inSum_ = 0;
    uint32_t outSum_ = 0;
    uint8_t keyBytes_[4];
    unsigned keyPos_ = 0;
    bool unscramble_;
    bool scramble_;
};

// Runs one method (1 = RLE, 2 = LZH, 4 = LH5) over inputLength bytes of
// input. Returns the output sum when expanding, the input sum when
// compressing; any other method does nothing and returns 0.
uint32_t RunMethod(TRunDirection direction, int method, TStream& input, int64_t inputLength,
                   TStream& output, int64_t expectedLength, bool scrambled,
                   const TCompress& component);

// The RLE method over any engine-like IO.
namespace rle {

template <class IO> void expand(IO& io) {
    uint8_t last = 0;
    for (;;) {
        uint8_t x = io.NextInputByte();
        if (io.endOfInput())
            return;
        if (x != RleEscape) {
            io.PutOutputByte(x);
        } else {
            uint8_t n = io.NextInputByte(); // an escape at the very end reads 0
            if (n == 0)
                io.PutOutputByte(RleEscape);
            for (int i = 1; i < n; ++i)
                io.PutOutputByte(last);
        }
        last = x;
    }
}

template <class IO> void compress(IO& io) {
    uint8_t last = 0;
    bool inRun = false, first = true;
    int count = 0;
    auto putLiteral = [&io](uint8_t x) {
        io.PutOutputByte(x);
        if (x == RleEscape)
            io.PutOutputByte(0);
    };
    auto closeRun = [&] {
        if (count == 2) {
            io.PutOutputByte(last);
        } else {
            io.PutOutputByte(RleEscape);
            io.PutOutputByte(static_cast<uint8_t>(count));
        }
        inRun = false;
    };
    for (;;) {
        uint8_t x = io.NextInputByte();
        if (io.endOfInput())
            break;
        if (!inRun) {
            if (x == last && !first && x != RleEscape) {
                inRun = true;
                count = 2;
            } else {
                putLiteral(x);
            }
        } else if (x == last && count < 255) {
            ++count;
        } else {
            closeRun();
            putLiteral(x);
        }
        last = x;
        first = false;
    }
    if (inRun)
        closeRun();
}

} // namespace rle
