#include "model/hexaroutines.h"

#include <ctime>

bool lineIsYang(uint8_t role, LineValue value) {
    if (role == 1)
        return value == 7 || value == 9;
    return value == 6 || value == 7;
}

HexagramNumber hexagramFromLines(const LinePattern& pattern) {
    for (HexagramNumber n = 1; n <= 64; ++n) {
        int k = 1;
        while (k <= 6 && tableLine(n, k) == pattern[k])
            ++k;
        if (k > 6)
            return n;
    }
    return 0;
}

std::string twoDigits(int n) {
    std::string text = std::to_string(n);
    return text.size() == 1 ? "0" + text : text;
}

std::string pageName(HexagramNumber n) {
    if (n == 0)
        return "about.htm";
    return twoDigits(n) + ".htm";
}

std::string castDate(int year, int month, int day) {
    return twoDigits(month) + "/" + twoDigits(day) + "/" + std::to_string(year);
}

std::string castDate(const std::tm& date) {
    return castDate(date.tm_year + 1900, date.tm_mon + 1, date.tm_mday);
}

std::string castDate() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return castDate(local);
}

namespace {

const std::string tocTitles[65] = {
    "About Lunvareth",
    "01 - The Creative / Activity / Dynamic Force",
    "02 - The Receptive",
    "03 - Initial Difficulty",
    "04 - Youthful Folly",
    "05 - Waiting",
    "06 - Conflict / Lawsuit",
    "07 - The Army",
    "08 - Union",
    "09 - Little Domestication",
    "10 - Treading",
    "11 - Harmony / Great",
    "12 - Standstill / Stagnation",
    "13 - Fellowship",
    "14 - Great Possession",
    "15 - Modesty",
    "16 - Enthusiasm",
    "17 - Following",
    "18 - Correcting Decay / Corruption",
    "19 - Approach / Leadership",
    "20 - Contemplation",
    "21 - Biting Through",
    "22 - Elegance / Adornment / Grace",
    "23 - Splitting Apart / Decay",
    "24 - Return",
    "25 - Innocence / No expectations",
    "26 - Great Accumulation",
    "27 - Nourishment / The Jaws",
    "28 - Great Excess",
    "29 - Pit doubled / Pit within a pit",
    "30 - The Clinging / Fire",
    "31 - Influence / Reciprocity",
    "32 - Duration / Constancy",
    "33 - Retreat",
    "34 - Great Power",
    "35 - Progress / Advance",
    "36 - Suppressed Light",
    "37 - The Family / The Clan",
    "38 - Antagonism / Opposition",
    "39 - Hampered / Obstruction",
    "40 - Liberation",
    "41 - Decrease ",
    "42 - Increase",
    "43 - Breakthrough / Resoluteness / Parting",
    "44 - Close Encounter / Meeting",
    "45 - Gathering together",
    "46 - Ascending ",
    "47 - Oppression / Besieged / Impasse",
    "48 - The Well",
    "49 - Revolution / Getting rid of",
    "50 - The Caldron / Sacrificial Vessel",
    "51 - Shock",
    "52 - Restraint",
    "53 - Gradual Development",
    "54 - The Marrying Maiden",
    "55 - Fullness / Abundance",
    "56 - Sojourner / Wanderer",
    "57 - Gentle Influence / Penetration / The Wind",
    "58 - Joyousness / The Lake",
    "59 - Dispersion / Dissolution / The Flood",
    "60 - Limitation",
    "61 - Inner Truth",
    "62 - Excess of the Small",
    "63 - Already Across",
    "64 - Before Crossing",
};

bool isHexagram(HexagramNumber n) {
    return n >= 1 && n <= 64;
}

} // namespace

const std::string& tocItemText(int n) {
    static const std::string none;
    return n >= 0 && n <= 64 ? tocTitles[n] : none;
}

std::string changingLinesText(HexagramNumber primary, HexagramNumber relating) {
    if (relating == 0 || !isHexagram(primary) || !isHexagram(relating))
        return "None";
    std::string text;
    for (int k = 1; k <= 6; ++k) {
        if (tableLine(primary, k) == tableLine(relating, k))
            continue;
        if (k > 1)
            text += ' ';
        text += std::to_string(k);
    }
    return text;
}

int changingLineCount(HexagramNumber primary, HexagramNumber relating) {
    if (!isHexagram(primary) || !isHexagram(relating))
        return 0;
    int count = 0;
    for (int k = 1; k <= 6; ++k)
        count += tableLine(primary, k) != tableLine(relating, k);
    return count;
}

OracleCast castFromLines(const std::array<LineValue, 6>& values, const std::string& question,
                         const std::string& date) {
    LinePattern primaryLines{};
    LinePattern relatingLines{};
    for (int i = 1; i <= 6; ++i) {
        primaryLines[i] = lineIsYang(1, values[i - 1]);
        relatingLines[i] = lineIsYang(2, values[i - 1]);
    }
    OracleCast cast;
    cast.question = question;
    cast.date = date;
    cast.primary = hexagramFromLines(primaryLines);
    cast.relating = hexagramFromLines(relatingLines);
    if (cast.relating == cast.primary)
        cast.relating = 0;
    return cast;
}

void fillAnswerTexts(OracleCast& cast) {
    cast.primaryTitle = tocItemText(cast.primary);
    if (cast.relating == 0) {
        cast.relatingTitle = "None";
        cast.changingLines = "None";
    } else {
        cast.relatingTitle = tocItemText(cast.relating);
        cast.changingLines = changingLinesText(cast.primary, cast.relating);
    }
}

std::string escapeHtml(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}
