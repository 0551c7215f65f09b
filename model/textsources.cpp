#include "model/textsources.h"

#include "model/messages.h"

std::array<Lines, sectionCount> sectionLists;

namespace {

// Blanks and control characters: what trimming removes and what ends a key.
bool isSpace(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string trim(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && isSpace(text[begin]))
        ++begin;
    while (end > begin && isSpace(text[end - 1]))
        --end;
    return std::string(text.substr(begin, end - begin));
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The entry of a line known to begin with key followed by a blank or its end.
CharacterEntry entryFromLine(const std::string& line, size_t keySize) {
    CharacterEntry entry;
    std::string rest = trim(std::string_view(line).substr(keySize, 9999));
    size_t blank = rest.find(' ');
    if (blank == std::string::npos) {
        showMessage("NOT FOUND");
        return entry;
    }
    entry.code = rest.substr(0, blank);
    if (!entry.code.empty() && entry.code[0] == '*')
        entry.code.erase(0, 1);
    entry.definition = trim(std::string_view(rest).substr(blank + 1));
    return entry;
}

bool matchesKey(const std::string& line, const std::string& key) {
    return line.compare(0, key.size(), key) == 0 &&
           (line.size() == key.size() || isSpace(line[key.size()]));
}

// The text of a line up to its second blank (or its end): the only key it can match.
std::string_view keyPrefix(std::string_view line) {
    int seen = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        if (isSpace(line[i]) && ++seen == 2)
            return line.substr(0, i);
    }
    return line;
}

bool hasOneBlank(const std::string& key) {
    int count = 0;
    for (char c : key)
        count += isSpace(c);
    return count == 1;
}

} // namespace

Lines splitLines(std::string_view text) {
    Lines lines;
    size_t start = 0;
    size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        lines.emplace_back(text.substr(start, i - start));
        i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
        start = i;
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

const std::string& sectionTag(Section section) {
    static const std::string tags[sectionCount] = {"<TAG>", "<GUACI>", "<DAXIANG>", "<L1>", "<L2>",
                                                   "<L3>",  "<L4>",    "<L5>",      "<L6>", "<L7>"};
    return tags[section];
}

std::string closingTag(const std::string& tag) {
    return "</" + (tag.empty() ? std::string() : tag.substr(1, 99));
}

void splitPairs(Lines& list, const std::string& content) {
    std::string_view rest = content;
    for (;;) {
        size_t blank = rest.find(' ');
        if (blank == std::string_view::npos) {
            list.emplace_back(rest);
            return;
        }
        std::string_view first = rest.substr(0, blank);
        rest = rest.substr(blank + 1);
        blank = rest.find(' ');
        std::string_view second = rest.substr(0, blank);
        rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
        std::string item(first);
        item += ' ';
        item += second;
        list.push_back(std::move(item));
        if (rest.empty())
            return;
    }
}

void parseSection(Lines& list, const std::string& tag, const std::string& line) {
    list.clear();
    size_t open = line.find(tag);
    if (open == std::string::npos)
        return;
    size_t contentStart = open + tag.size();
    size_t close = line.find(closingTag(tag), contentStart);
    if (close == std::string::npos)
        return;
    splitPairs(list, line.substr(contentStart, close - contentStart));
}

void parseHexagramRecord(const Lines& lines, HexagramNumber n) {
    const std::string recordKey = "<HN>" + std::to_string(n) + closingTag("<HN>");
    size_t at = 0;
    while (at < lines.size() && lines[at] != recordKey)
        ++at;
    if (at == lines.size())
        return;

    // Each section looks only at its own line; lines past the end of the
    // file count as lines without the tag.
    auto parseAt = [&lines](Section section, size_t index) {
        const std::string& tag = sectionTag(section);
        if (index < lines.size() && contains(lines[index], tag))
            parseSection(sectionLists[section], tag, lines[index]);
    };
    size_t i = at + 1;
    if (i < lines.size() && contains(lines[i], sectionTag(TAG))) {
        parseSection(sectionLists[TAG], sectionTag(TAG), lines[i]);
        ++i;
    }
    parseAt(GUACI, i);
    parseAt(DAXIANG, i + 1);
    for (int k = 1; k <= 6; ++k)
        parseAt(static_cast<Section>(L1 + k - 1), i + 1 + k);
    if (n == 1 || n == 2)
        parseAt(L7, i + 8);
}

bool itemKey(const std::string& item, ItemKey& out) {
    size_t blank = item.find(' ');
    if (blank == std::string::npos)
        return false;
    std::string reading = item.substr(0, blank);
    if (!reading.empty() && reading[0] == '*')
        reading.erase(0, 1);
    if (blank == 0)
        return false;
    out.key = item.substr(blank + 1, 9) + ' ' + reading;
    out.reading = std::move(reading);
    return true;
}

CharacterEntry lookupCharacter(const std::string& key, const Lines& dictionary) {
    for (const std::string& line : dictionary) {
        if (matchesKey(line, key))
            return entryFromLine(line, key.size());
    }
    return CharacterEntry();
}

CharacterDictionary::CharacterDictionary(Lines lines) : lines_(std::move(lines)) {
    firstLine_.reserve(lines_.size());
    for (size_t i = 0; i < lines_.size(); ++i)
        firstLine_.emplace(keyPrefix(lines_[i]), i); // keeps the first line of each key
}

CharacterEntry CharacterDictionary::lookup(const std::string& key) const {
    if (!hasOneBlank(key))
        return lookupCharacter(key, lines_);
    auto found = firstLine_.find(std::string_view(key));
    if (found == firstLine_.end())
        return CharacterEntry();
    return entryFromLine(lines_[found->second], key.size());
}
