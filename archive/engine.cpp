#include "archive/engine.h"

#include "archive/errors.h"
#include "archive/lh5.h"
#include "archive/lzh.h"

#include <algorithm>
#include <limits>
#include <thread>

namespace {

// A decoder may finish its last match past the expected length, by at most
// the longest LH5 match.
constexpr int64_t MatchOverrun = 256;

} // namespace

TMethodEngine::TMethodEngine(TRunDirection direction, TStream& input, int64_t inputLength,
                             TStream& output, int64_t expectedLength, bool scrambled,
                             const TCompress& component)
    : direction_(direction), input_(input), output_(output), onProgress_(component.OnShowProgress),
      inBuf_(new uint8_t[BufferSize]), outBuf_(new uint8_t[BufferSize]),
      inputRemaining_(std::max<int64_t>(inputLength, 0)) {
    const bool expanding = direction == TRunDirection::expand;
    if (expanding)
        budget_ = std::min<int64_t>(std::max<int64_t>(expectedLength, 0) + MatchOverrun,
                                    std::numeric_limits<int32_t>::max());
    else
        budget_ = inputRemaining_;
    unscramble_ = expanding && scrambled && component.Key != 0;
    scramble_ = !expanding && component.Key != 0;
    auto key = static_cast<uint32_t>(component.Key);
    for (int i = 0; i < 4; ++i)
        keyBytes_[i] = static_cast<uint8_t>(key >> (8 * i));
}

bool TMethodEngine::fillInput() {
    endOfInput_ = true;
    sumConsumedInput();
    if (inputRemaining_ <= 0)
        return false;
    auto want = static_cast<size_t>(std::min<int64_t>(BufferSize, inputRemaining_));
    size_t got = input_.read(inBuf_.get(), want);
    inputRemaining_ -= static_cast<int64_t>(got);
    if (got == 0)
        return false;
    inPos_ = inSummed_ = 0;
    inEnd_ = static_cast<int>(got);
    inBlockKeyPos_ = keyPos_;
    if (unscramble_) {
        for (int i = 0; i < inEnd_; ++i)
            inBuf_[i] ^= keyBytes_[(keyPos_ + i) & 3];
        keyPos_ = (keyPos_ + got) & 3;
    }
    if (onProgress_) {
        fetched_ += static_cast<int64_t>(got);
        int64_t total = fetched_ + inputRemaining_;
        int64_t percent = total <= 100000 ? fetched_ * 100 / total : fetched_ / (total / 100);
        auto reported = static_cast<int32_t>(percent);
        onProgress_(reported);
        if (reported == -1) { // abort: the input counts as exhausted from now on
            inputRemaining_ = 0;
            inPos_ = inEnd_ = inSummed_ = 0;
            return false;
        }
    }
    std::this_thread::yield();
    endOfInput_ = false;
    return true;
}

// The input sum covers the bytes handed out so far, as stored (scrambled).
void TMethodEngine::sumConsumedInput() {
    const uint8_t* key = keyBytes_;
    for (int i = inSummed_; i < inPos_; ++i)
        inSum_ += unscramble_ ? uint8_t(inBuf_[i] ^ key[(inBlockKeyPos_ + i) & 3]) : inBuf_[i];
    inSummed_ = inPos_;
}

void TMethodEngine::makeRoom() {
    if (budget_ <= 0) {
        if (direction_ == TRunDirection::compress)
            throw EUnableToCompress();
        throw EDamagedArchive(); // far more output than the member header announced
    }
    if (outPos_ == BufferSize) {
        std::this_thread::yield();
        writeOutput(BufferSize);
        outPos_ = 0;
    }
    const int64_t room = std::min<int64_t>(BufferSize - outPos_, budget_);
    outLimit_ = outPos_ + static_cast<int>(room);
    budget_ -= room;
}

// Scrambles (when on), sums and writes the first count bytes of the output buffer.
void TMethodEngine::writeOutput(int count) {
    uint8_t* out = outBuf_.get();
    if (scramble_) {
        for (int i = 0; i < count; ++i)
            out[i] ^= keyBytes_[(keyPos_ + i) & 3];
        keyPos_ = (keyPos_ + static_cast<unsigned>(count)) & 3;
    }
    uint32_t sum = 0;
    for (int i = 0; i < count; ++i)
        sum += out[i];
    outSum_ += sum;
    output_.write(out, static_cast<size_t>(count));
}

void TMethodEngine::finish() {
    sumConsumedInput();
    if (outPos_ > 0)
        writeOutput(outPos_);
    outPos_ = outLimit_ = 0;
}

uint32_t RunMethod(TRunDirection direction, int method, TStream& input, int64_t inputLength,
                   TStream& output, int64_t expectedLength, bool scrambled,
                   const TCompress& component) {
    if (method != methodRLE && method != methodLZH && method != methodLH5)
        return 0;
    TMethodEngine engine(direction, input, inputLength, output, expectedLength, scrambled,
                         component);
    const bool expanding = direction == TRunDirection::expand;
    const auto n = static_cast<int32_t>(std::max<int64_t>(expectedLength, 0));
    switch (method) {
    case methodRLE:
        expanding ? rle::expand(engine) : rle::compress(engine);
        break;
    case methodLZH:
        expanding ? lzh::expand(engine, n) : lzh::compress(engine);
        break;
    case methodLH5:
        expanding ? lh5::expand(engine, n) : lh5::compress(engine);
        break;
    }
    engine.finish();
    return expanding ? engine.outputSum() : engine.inputSum();
}
