// A codec IO over strings for the method tests: reads the stored bytes from a
// string, gives 0 with endOfInput() once they are used up, and collects the
// output.
#pragma once

#include <cstdint>
#include <random>
#include <string>

struct StringIO {
    explicit StringIO(std::string input = {}) : in(std::move(input)) {}

    uint8_t NextInputByte() {
        if (pos >= in.size()) {
            eof = true;
            ++readsPastEnd;
            return 0;
        }
        eof = false;
        return static_cast<uint8_t>(in[pos++]);
    }
    bool endOfInput() const { return eof; }
    void PutOutputByte(uint8_t b) { out.push_back(static_cast<char>(b)); }

    std::string in;
    size_t pos = 0;
    bool eof = false;
    size_t readsPastEnd = 0;
    std::string out;
};

template <class Codec> std::string packWith(const std::string& plain) {
    StringIO io(plain);
    Codec::compress(io);
    return io.out;
}

template <class Codec> std::string unpackWith(const std::string& stored, int32_t size) {
    StringIO io(stored);
    Codec::expand(io, size);
    return io.out;
}

// Sample inputs shared by the round-trip tests.
inline std::string randomBytes(size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (auto& c : s)
        c = static_cast<char>(gen() & 0xFF);
    return s;
}

// HTML-like text: words drawn from a small vocabulary with markup between.
inline std::string sampleText(size_t n, unsigned seed) {
    static const char* const words[] = {"the",          "<p>",
                                        "</p>\r\n",     "heaven",
                                        "earth",        "line",
                                        "yang",         "yin",
                                        "changes",      "<b>",
                                        "</b>",         "superior",
                                        "man",          "great",
                                        "success",      "furthers",
                                        "perseverance", "no",
                                        "blame",        "nine",
                                        "six",          "<td class=\"x\">",
                                        "</td>",        "&#x4E7E;"};
    std::mt19937 gen(seed);
    std::string s;
    while (s.size() < n) {
        s += words[gen() % (sizeof words / sizeof *words)];
        s += (gen() % 7 == 0) ? ". " : " ";
    }
    s.resize(n);
    return s;
}

// Writes bits most significant first, for hand-made stored streams.
class BitString {
public:
    BitString& put(int count, unsigned value) {
        while (count-- > 0) {
            acc_ = static_cast<uint8_t>((acc_ << 1) | ((value >> count) & 1u));
            if (++fill_ == 8) {
                bytes_.push_back(static_cast<char>(acc_));
                acc_ = 0;
                fill_ = 0;
            }
        }
        return *this;
    }
    // A literal bit pattern such as "1110".
    BitString& put(const char* bits) {
        for (; *bits; ++bits)
            put(1, *bits == '1');
        return *this;
    }
    std::string bytes() const {
        std::string b = bytes_;
        if (fill_)
            b.push_back(static_cast<char>(acc_ << (8 - fill_)));
        return b;
    }

private:
    std::string bytes_;
    uint8_t acc_ = 0;
    int fill_ = 0;
};
