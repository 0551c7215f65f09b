// The hexagram model shared by every part of the program: numbering of
// hexagrams and lines, the table of the 64 line patterns, the record of one
// consultation and the few process-wide values.
#pragma once

#include <array>
#include <cstdint>
#include <ostream>
#include <string>

// 1..64 a hexagram in King Wen order; 0 the About page (or, as a relating
// hexagram, none); -1 only from the saved-oracle library (no answer).
using HexagramNumber = int32_t;

// One cast line: 6 broken and changing, 7 unbroken, 8 broken, 9 unbroken and changing.
using LineValue = int;

// Six line flags, index 1 the bottom line (index 0 is unused); true = unbroken.
using LinePattern = std::array<bool, 7>;

// Row n (1..64) holds bytes (n-1)*6 .. (n-1)*6+5, bottom line first, 1 = unbroken.
extern const std::array<uint8_t, 384> hexagramTable;

// Line k (1..6) of hexagram n (1..64): true for an unbroken line.
bool tableLine(HexagramNumber n, int k);
// The pattern of row n (1..64).
LinePattern tablePattern(HexagramNumber n);

// Cuts a text to the 255 single-byte characters a consultation field holds.
std::string cut255(std::string text);

// A text field of a consultation: every assignment keeps at most 255 characters.
class Text255 {
public:
    Text255() = default;
    Text255(std::string text) : text_(cut255(std::move(text))) {}
    Text255(const char* text) : Text255(std::string(text)) {}

    const std::string& str() const { return text_; }
    operator const std::string&() const { return text_; }
    size_t size() const { return text_.size(); }
    bool empty() const { return text_.empty(); }

    friend bool operator==(const Text255& a, const std::string& b) { return a.text_ == b; }
    friend bool operator==(const Text255& a, const char* b) { return a.text_ == b; }
    friend bool operator!=(const Text255& a, const std::string& b) { return a.text_ != b; }
    friend bool operator!=(const Text255& a, const char* b) { return a.text_ != b; }
    friend std::ostream& operator<<(std::ostream& os, const Text255& t) { return os << t.text_; }

private:
    std::string text_;
};

// One consultation, copied by value.
struct OracleCast {
    Text255 date;
    Text255 question;
    Text255 extra1; // written only by the saved-oracle library
    Text255 extra2;
    HexagramNumber primary = 0;
    HexagramNumber relating = 0; // 0 when no line changes
    Text255 primaryTitle;
    Text255 relatingTitle;
    Text255 changingLines;
};

// The consultation that the page builder shows in its summary table.
extern OracleCast summaryAnswer;
// Text zoom in percent.
extern int zoomPercent;
// Set by the search dialog's Cancel button; the search across pages polls it.
extern bool cancelRequested;
