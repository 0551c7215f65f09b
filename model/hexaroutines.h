// Small pure functions over the hexagram model: the line rule, the lookup of a
// hexagram from its lines, page names, dates, titles and the oracle hand-over.
#pragma once

#include "model/global.h"

#include <array>
#include <ctime>
#include <string>

// role 1 = the primary hexagram, any other role the relating one.
bool lineIsYang(uint8_t role, LineValue value);

// The hexagram whose six lines equal pattern[1..6]; 0 only for an impossible pattern.
HexagramNumber hexagramFromLines(const LinePattern& pattern);

// "about.htm" for 0, "01.htm" .. "09.htm", "10.htm" .. "64.htm".
std::string pageName(HexagramNumber n);

// The decimal text of n with a "0" in front when it has one character.
std::string twoDigits(int n);

// Today's local date as "MM/DD/YYYY".
std::string castDate();
std::string castDate(int year, int month, int day);
std::string castDate(const std::tm& date);

// The table-of-contents text of page n: 0 "About Lunvareth", 1..64 the
// hexagram titles ("05 - Waiting"). Empty for any other n.
const std::string& tocItemText(int n);

// The lines in which the two hexagrams differ: "None" when relating is 0,
// else "1 3", " 2 5", "1 2 3 4 5 6" (every line after the first with a blank in front).
std::string changingLinesText(HexagramNumber primary, HexagramNumber relating);
// How many lines differ (0 when relating is 0).
int changingLineCount(HexagramNumber primary, HexagramNumber relating);

// The hand-over of an oracle: six line values (bottom first) become primary
// and relating (relating 0 when no line changes); question and date are stored as given.
OracleCast castFromLines(const std::array<LineValue, 6>& values, const std::string& question,
                         const std::string& date);

// Fills the titles and changing lines of a consultation from primary and relating.
void fillAnswerTexts(OracleCast& cast);

// Escapes &, <, >, and " so that a text shows as typed inside HTML.
std::string escapeHtml(const std::string& text);
