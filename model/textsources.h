// The Chinese text sources in texto/: yijing.txt (the Chinese text of every
// hexagram, in tagged sections of reading/selector pairs) and ed.txt (the
// character dictionary). Chinese characters appear only as hexadecimal code points.
#pragma once

#include "model/global.h"

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

using Lines = std::vector<std::string>;

// Splits single-byte text into lines at CR LF, a lone CR or a lone LF. A final
// line without a terminator counts; a final terminator adds no empty line.
Lines splitLines(std::string_view text);

// The sections of one hexagram record, in record order.
enum Section { TAG, GUACI, DAXIANG, L1, L2, L3, L4, L5, L6, L7, sectionCount };

// The opening tag of a section: "<GUACI>", "<L1>", ...
const std::string& sectionTag(Section section);

// The items ("reading selector") of every section of the hexagram parsed last.
// A section that a record lacks keeps the items of an earlier parse.
extern std::array<Lines, sectionCount> sectionLists;

// "</" followed by the tag without its first character (at most 99 characters).
std::string closingTag(const std::string& tag);

// Appends the word pairs of a section's content to list: "w x y z" gives
// "w x" and "y z"; an odd last word is an item of its own.
void splitPairs(Lines& list, const std::string& content);

// Refills list from the content between tag and its closing tag in line;
// the list stays empty when the closing tag is missing.
void parseSection(Lines& list, const std::string& tag, const std::string& line);

// Refills the section lists from the record of hexagram n (1..64) in the
// lines of yijing.txt. Without a record for n nothing changes.
void parseHexagramRecord(const Lines& lines, HexagramNumber n);

struct CharacterEntry {
    std::string code;                     // hexadecimal code point, e.g. "9A6C"
    std::string definition = "NOT FOUND"; // HTML text
};

// The dictionary key of an item: selector (at most 9 characters), a blank,
// the reading without its leading "*".
struct ItemKey {
    std::string reading;
    std::string key;
};
// False for an item without a blank or with an empty reading: it cannot form a row.
bool itemKey(const std::string& item, ItemKey& out);

// Looks up key in the lines of ed.txt. A line matches when it begins with the
// whole key followed by a blank (or the end of the line); the first match counts.
// A matching line without a definition shows "NOT FOUND".
CharacterEntry lookupCharacter(const std::string& key, const Lines& dictionary);

// The lines of ed.txt with an index of their keys, built once per page build.
// Lookups give the same results as lookupCharacter over the lines.
class CharacterDictionary {
public:
    explicit CharacterDictionary(Lines lines);
    // The index points into the lines: not copyable.
    CharacterDictionary(const CharacterDictionary&) = delete;
    CharacterDictionary& operator=(const CharacterDictionary&) = delete;

    CharacterEntry lookup(const std::string& key) const;
    const Lines& lines() const { return lines_; }

private:
    Lines lines_;
    // The first line for each "word word" prefix (text up to the second blank).
    std::unordered_map<std::string_view, size_t> firstLine_;
};
