#include "model/global.h"
#include "model/hexaroutines.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

std::string rowText(HexagramNumber n) {
    std::string text;
    for (int k = 1; k <= 6; ++k)
        text += tableLine(n, k) ? '1' : '0';
    return text;
}

LinePattern patternOf(const std::string& lines) {
    LinePattern pattern{};
    for (int k = 1; k <= 6; ++k)
        pattern[k] = lines[k - 1] == '1';
    return pattern;
}

TEST(HexagramTable, TellingRows) {
    const std::pair<int, const char*> rows[] = {
        {1, "111111"},  {2, "000000"},  {3, "100010"},  {4, "010001"},  {11, "111000"},
        {12, "000111"}, {29, "010010"}, {30, "101101"}, {63, "101010"}, {64, "010101"},
    };
    for (const auto& [n, lines] : rows)
        EXPECT_EQ(rowText(n), lines) << "hexagram " << n;
    // Stored as bytes 0 and 1, row n at (n-1)*6.
    EXPECT_EQ(hexagramTable[2 * 6 + 0], 1);
    EXPECT_EQ(hexagramTable[2 * 6 + 1], 0);
    for (uint8_t b : hexagramTable)
        EXPECT_LE(b, 1);
}

TEST(HexagramTable, KingWenPairs) {
    // Every pair of the sequence is one figure turned upside down, or, when
    // turning changes nothing, the figure with every line changed.
    std::set<std::string> seen;
    for (int n = 1; n <= 64; n += 2) {
        std::string odd = rowText(n), even = rowText(n + 1);
        std::string turned(odd.rbegin(), odd.rend());
        std::string inverted = odd;
        for (char& c : inverted)
            c = c == '1' ? '0' : '1';
        EXPECT_EQ(even, turned == odd ? inverted : turned) << "pair " << n;
        seen.insert(odd);
        seen.insert(even);
    }
    EXPECT_EQ(seen.size(), 64u);
}

TEST(HexagramTable, LookupFindsEveryRow) {
    for (int n = 1; n <= 64; ++n)
        EXPECT_EQ(hexagramFromLines(tablePattern(n)), n);
    EXPECT_EQ(hexagramFromLines(patternOf("111111")), 1);
    EXPECT_EQ(hexagramFromLines(patternOf("000000")), 2);
    EXPECT_EQ(hexagramFromLines(patternOf("100010")), 3);
    EXPECT_EQ(hexagramFromLines(patternOf("011111")), 44);
    EXPECT_EQ(hexagramFromLines(patternOf("010101")), 64);
}

TEST(LineRule, PrimaryAndRelating) {
    EXPECT_FALSE(lineIsYang(1, 6));
    EXPECT_TRUE(lineIsYang(2, 6));
    EXPECT_TRUE(lineIsYang(1, 9));
    EXPECT_FALSE(lineIsYang(2, 9));
    for (uint8_t role : {1, 2, 5}) {
        EXPECT_TRUE(lineIsYang(role, 7));
        EXPECT_FALSE(lineIsYang(role, 8));
    }
    EXPECT_TRUE(lineIsYang(5, 6));
    EXPECT_FALSE(lineIsYang(5, 9));
}

OracleCast handOver(const std::array<LineValue, 6>& values) {
    OracleCast cast = castFromLines(values, "q", "01/01/2010");
    fillAnswerTexts(cast);
    return cast;
}

TEST(HandOver, NoChangingLine) {
    OracleCast cast = handOver({7, 8, 8, 7, 8, 7});
    EXPECT_EQ(cast.primary, hexagramFromLines(patternOf("100101")));
    EXPECT_EQ(cast.relating, 0);
    EXPECT_EQ(cast.relatingTitle, "None");
    EXPECT_EQ(cast.changingLines, "None");
    EXPECT_EQ(cast.primaryTitle, tocItemText(cast.primary));
    EXPECT_EQ(cast.question, "q");
    EXPECT_EQ(cast.date, "01/01/2010");
}

TEST(HandOver, ChangingLines) {
    OracleCast first = handOver({9, 7, 7, 7, 7, 7});
    EXPECT_EQ(first.primary, 1);
    EXPECT_EQ(first.relating, 44);
    EXPECT_EQ(first.changingLines, "1");
    EXPECT_EQ(first.relatingTitle, "44 - Close Encounter / Meeting");

    OracleCast nines = handOver({9, 9, 9, 9, 9, 9});
    EXPECT_EQ(nines.primary, 1);
    EXPECT_EQ(nines.relating, 2);
    EXPECT_EQ(nines.changingLines, "1 2 3 4 5 6");
    EXPECT_EQ(changingLineCount(1, 2), 6);

    OracleCast sixes = handOver({6, 6, 6, 6, 6, 6});
    EXPECT_EQ(sixes.primary, 2);
    EXPECT_EQ(sixes.relating, 1);

    OracleCast second = handOver({7, 6, 7, 7, 7, 7});
    EXPECT_EQ(second.changingLines, " 2");
    OracleCast twoFive = handOver({7, 9, 8, 7, 6, 8});
    EXPECT_EQ(twoFive.changingLines, " 2 5");
    EXPECT_EQ(changingLineCount(twoFive.primary, twoFive.relating), 2);
    OracleCast oneThree = handOver({6, 7, 9, 8, 8, 8});
    EXPECT_EQ(oneThree.changingLines, "1 3");
}

TEST(OracleCastTexts, CutTo255) {
    const std::string longQuestion(300, 'q');
    OracleCast cast = castFromLines({7, 7, 7, 7, 7, 7}, longQuestion, "12/25/2009");
    EXPECT_EQ(cast.question.str(), std::string(255, 'q'));
    cast.extra1 = std::string(256, 'x');
    EXPECT_EQ(cast.extra1.size(), 255u);
    OracleCast copy = cast;
    EXPECT_EQ(copy.question.size(), 255u);
    cast.date = std::string(255, 'd');
    EXPECT_EQ(cast.date.size(), 255u);
}

TEST(Names, PagesDatesTitles) {
    EXPECT_EQ(pageName(0), "about.htm");
    EXPECT_EQ(pageName(7), "07.htm");
    EXPECT_EQ(pageName(10), "10.htm");
    EXPECT_EQ(pageName(64), "64.htm");
    EXPECT_EQ(castDate(2009, 12, 25), "12/25/2009");
    EXPECT_EQ(castDate(2010, 1, 1), "01/01/2010");
    std::tm march{};
    march.tm_year = 115;
    march.tm_mon = 2;
    march.tm_mday = 7;
    EXPECT_EQ(castDate(march), "03/07/2015");
    EXPECT_EQ(castDate().size(), 10u);

    EXPECT_EQ(tocItemText(0), "About Lunvareth");
    EXPECT_EQ(tocItemText(5), "05 - Waiting");
    EXPECT_EQ(tocItemText(41), "41 - Decrease ");
    EXPECT_EQ(tocItemText(46), "46 - Ascending ");
    EXPECT_EQ(tocItemText(64), "64 - Before Crossing");
    EXPECT_EQ(tocItemText(65), "");
    for (int n = 1; n <= 64; ++n)
        EXPECT_EQ(tocItemText(n).substr(0, 5), twoDigits(n) + " - ");
}

TEST(Names, EscapeHtml) {
    EXPECT_EQ(escapeHtml("<b>\"Tom & Jerry\"</b>"),
              "&lt;b&gt;&quot;Tom &amp; Jerry&quot;&lt;/b&gt;");
    EXPECT_EQ(escapeHtml("plain 'text'"), "plain 'text'");
}

} // namespace
