#include "model/pagebuilder.h"

#include "archive/content.h"
#include "archive/stream.h"
#include "model/hexaroutines.h"
#include "model/messages.h"

namespace {

Lines loadLines(const std::string& name, int source) {
    return splitLines(loadContent(name, source));
}

// The section tables: the heading that precedes each section's commentary
// line (none for GUACI, whose table goes before the first commentary line).
struct TablePlace {
    Section section;
    const char* heading;
};

constexpr TablePlace tablePlaces[] = {
    {GUACI, nullptr}, {DAXIANG, ">The Image<"}, {L1, ">First"}, {L2, ">Second"},    {L3, ">Third"},
    {L4, ">Fourth"},  {L5, ">Fifth"},           {L6, ">Top"},   {L7, ">All lines"},
};

int tableIndex(const TablePlace& place, const Lines& page) {
    int from = 0;
    if (place.heading) {
        from = findLine(0, place.heading, page);
        if (from < 0)
            return -1;
    }
    return findLine(from, "dicccomment", page);
}

std::string commentRow(const std::string& code, const std::string& reading,
                       const std::string& definition) {
    return "<tr><td><span class=TF2>&#x" + code + ";</span></td><td><span class=pin>" + reading +
           "</span></td><td><span class=tex3>" + definition + "</span></td></tr>";
}

} // namespace

int findLine(int start, const std::string& text, const Lines& lines) {
    if (start < 0)
        return -1;
    for (size_t i = static_cast<size_t>(start); i < lines.size(); ++i) {
        if (lines[i].find(text) != std::string::npos)
            return static_cast<int>(i);
    }
    return -1;
}

std::string joinLines(const Lines& lines) {
    size_t size = 0;
    for (const std::string& line : lines)
        size += line.size() + 2;
    std::string text;
    text.reserve(size);
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

void insertCommentRows(const CharacterDictionary& dictionary, const Lines& items, Lines& page,
                       int at) {
    if (at < 0 || static_cast<size_t>(at) > page.size())
        return;
    // Items that cannot form a row (no blank, no reading) are left out, so that
    // the table opens on the first row and closes on the last row written.
    std::vector<ItemKey> keys;
    keys.reserve(items.size());
    for (const std::string& item : items) {
        ItemKey key;
        if (itemKey(item, key))
            keys.push_back(std::move(key));
    }
    Lines rows;
    rows.reserve(keys.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        CharacterEntry entry = dictionary.lookup(keys[i].key);
        std::string row;
        if (i == 0)
            row = "<div class=\"chinocom\"><table>";
        row += commentRow(entry.code, keys[i].reading, entry.definition);
        if (i + 1 == keys.size())
            row += "</table></div>";
        rows.push_back(std::move(row));
    }
    page.insert(page.begin() + at, std::make_move_iterator(rows.begin()),
                std::make_move_iterator(rows.end()));
}

void insertChineseTables(HexagramNumber n, Lines& page) {
    parseHexagramRecord(splitLines(readWholeFile(textoPath("yijing.txt"))), n);
    const CharacterDictionary dictionary(splitLines(readWholeFile(textoPath("ed.txt"))));
    for (const TablePlace& place : tablePlaces) {
        if (place.section == L7 && n != 1 && n != 2)
            continue;
        const Lines& items = sectionLists[place.section];
        if (items.empty())
            continue;
        int at = tableIndex(place, page);
        if (at >= 0)
            insertCommentRows(dictionary, items, page, at);
    }
}

void insertAnchors(Lines& page) {
    static const std::pair<const char*, const char*> anchors[] = {
        {"<p class=\"titulohexa\">", "<a name=\"start\"></a>"},
        {"<p class=\"titulo-dictimage\">First", "<a name=\"L1\"></a>"},
        {"<p class=\"titulo-dictimage\">Second", "<a name=\"L2\"></a>"},
        {"<p class=\"titulo-dictimage\">Third", "<a name=\"L3\"></a>"},
        {"<p class=\"titulo-dictimage\">Fourth", "<a name=\"L4\"></a>"},
        {"<p class=\"titulo-dictimage\">Fifth", "<a name=\"L5\"></a>"},
        {"<p class=\"titulo-dictimage\">Top", "<a name=\"L6\"></a>"},
    };
    // Each search starts at the last marker found; a missing marker gets no anchor.
    int from = 0;
    for (const auto& [marker, anchor] : anchors) {
        int at = findLine(from, marker, page);
        if (at < 0)
            continue;
        page[at].insert(0, anchor);
        from = at;
    }
}

void insertAnswerSummary(const OracleCast& answer, Lines& page) {
    const std::string cell = "</td></tr><tr><td>";
    const std::string value = "</td><td width=\"99%\" class=\"con2\">";
    std::string line = "<table width=\"100%\" cellpadding=\"4\" cellspacing=\"4\" "
                       "bgcolor=\"#CCCCCC\"><tr><td>Question:" +
                       value + escapeHtml(answer.question) + cell + "Date:" + value +
                       escapeHtml(answer.date) + cell + "First&nbsp;Hexagram:" + value +
                       escapeHtml(answer.primaryTitle) + cell + "Changing&nbsp;Lines:" + value +
                       escapeHtml(answer.changingLines) + cell + "Second&nbsp;Hexagram:" + value +
                       escapeHtml(answer.relatingTitle) + "</td></tr></table>";
    int at = findLine(0, "<body>", page);
    page.insert(page.begin() + (at + 1), std::move(line));
}

void loadPageLines(Lines& lines, const std::string& name, int source, bool chinese,
                   HexagramNumber n) {
    lines = loadLines(name, source);
    if (n > 0 && chinese)
        insertChineseTables(n, lines);
}

std::string loadText(const std::string& name, int source) {
    return joinLines(loadLines(name, source));
}

void loadPage(PageView* view, const std::string& name, int source, bool chinese, HexagramNumber n) {
    bool summary = source > 10;
    if (summary)
        source -= 10;
    Lines page = loadLines(name, source);
    if (n > 0) {
        if (chinese)
            insertChineseTables(n, page);
        insertAnchors(page);
        if (summary)
            insertAnswerSummary(summaryAnswer, page);
    }
    if (!view) {
        showMessage("Failure: Viewer is nil.");
        return;
    }
    view->loadLines(page, programFolder());
}
