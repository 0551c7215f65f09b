#include "model/messages.h"
#include "model/textsources.h"

#include <gtest/gtest.h>

namespace {

class TextSources : public ::testing::Test {
protected:
    void SetUp() override {
        for (Lines& list : sectionLists)
            list.clear();
        setMessageHandler([this](const std::string& text) { messages.push_back(text); });
    }
    void TearDown() override { setMessageHandler(nullptr); }

    // A record with sections GUACI, DAXIANG, L1..L6 whose items are "<tag>a s".
    static Lines record(int n, bool withTag = false, bool withL7 = false) {
        Lines lines{"<HN>" + std::to_string(n) + "</HN>"};
        if (withTag)
            lines.push_back("<TAG>t " + std::to_string(n) + "</TAG>");
        for (const char* tag : {"GUACI", "DAXIANG", "L1", "L2", "L3", "L4", "L5", "L6"})
            lines.push_back(std::string("<") + tag + ">" + tag + " " + std::to_string(n) + "</" +
                            tag + ">");
        if (withL7)
            lines.push_back("<L7>all " + std::to_string(n) + "</L7>");
        return lines;
    }
    static Lines join(Lines a, const Lines& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }

    Lines messages;
};

TEST_F(TextSources, SplitLinesAtEveryTerminator) {
    EXPECT_EQ(splitLines("a\r\nb\rc\nd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(splitLines("a\n\nb\r\n"), (Lines{"a", "", "b"}));
    EXPECT_EQ(splitLines("\r\n\r"), (Lines{"", ""}));
    EXPECT_TRUE(splitLines("").empty());
}

TEST_F(TextSources, PairsAndTags) {
    EXPECT_EQ(closingTag("<GUACI>"), "</GUACI>");
    EXPECT_EQ(closingTag("<HN>"), "</HN>");

    Lines items;
    splitPairs(items, "w x y z");
    EXPECT_EQ(items, (Lines{"w x", "y z"}));
    items.clear();
    splitPairs(items, "w x y");
    EXPECT_EQ(items, (Lines{"w x", "y"}));
    items.clear();
    splitPairs(items, "");
    EXPECT_EQ(items, (Lines{""}));

    parseSection(items, "<GUACI>", "q <GUACI>w x y z</GUACI> r");
    EXPECT_EQ(items, (Lines{"w x", "y z"}));
    parseSection(items, "<GUACI>", "<GUACI>w x y z");
    EXPECT_TRUE(items.empty());
}

TEST_F(TextSources, RecordKeyIsAWholeLine) {
    Lines lines = {" <HN>5</HN>", "<GUACI>wrong 1</GUACI>", "<HN>05</HN>", "<GUACI>wrong 2</GUACI>",
                   "<HN>5</HN> ", "<GUACI>wrong 3</GUACI>"};
    parseHexagramRecord(lines, 5);
    EXPECT_TRUE(sectionLists[GUACI].empty());

    parseHexagramRecord(join(lines, record(5)), 5);
    EXPECT_EQ(sectionLists[GUACI], (Lines{"GUACI 5"}));
    EXPECT_EQ(sectionLists[DAXIANG], (Lines{"DAXIANG 5"}));
    EXPECT_EQ(sectionLists[L6], (Lines{"L6 5"}));
}

TEST_F(TextSources, TagLineShiftsTheSections) {
    parseHexagramRecord(join(record(3), record(4, true)), 4);
    EXPECT_EQ(sectionLists[TAG], (Lines{"t 4"}));
    EXPECT_EQ(sectionLists[GUACI], (Lines{"GUACI 4"}));
    EXPECT_EQ(sectionLists[L1], (Lines{"L1 4"}));
    EXPECT_EQ(sectionLists[L6], (Lines{"L6 4"}));
}

TEST_F(TextSources, AllLinesOnlyForTheFirstTwo) {
    Lines lines = join(join(record(1, false, true), record(3, false, true)), record(2, true, true));
    parseHexagramRecord(lines, 1);
    EXPECT_EQ(sectionLists[L7], (Lines{"all 1"}));
    parseHexagramRecord(lines, 3);
    EXPECT_EQ(sectionLists[L6], (Lines{"L6 3"}));
    EXPECT_EQ(sectionLists[L7], (Lines{"all 1"}));
    parseHexagramRecord(lines, 2);
    EXPECT_EQ(sectionLists[L7], (Lines{"all 2"}));
}

TEST_F(TextSources, MissingSectionsKeepEarlierItems) {
    Lines seven = record(7);
    seven[2] = "DAXIANG without its tag";
    seven[4] = "<L2>broken line";
    Lines lines = join(record(6), seven);
    parseHexagramRecord(lines, 6);
    parseHexagramRecord(lines, 7);
    EXPECT_EQ(sectionLists[GUACI], (Lines{"GUACI 7"}));
    EXPECT_EQ(sectionLists[DAXIANG], (Lines{"DAXIANG 6"}));
    EXPECT_TRUE(sectionLists[L2].empty());
    EXPECT_EQ(sectionLists[L3], (Lines{"L3 7"}));

    // No record at all: nothing changes.
    parseHexagramRecord(lines, 8);
    EXPECT_EQ(sectionLists[GUACI], (Lines{"GUACI 7"}));
}

TEST_F(TextSources, RecordCutShortByTheEndOfTheFile) {
    parseHexagramRecord(record(9), 9);
    Lines shortRecord = record(10);
    shortRecord.resize(4); // HN, GUACI, DAXIANG, L1
    parseHexagramRecord(shortRecord, 10);
    EXPECT_EQ(sectionLists[L1], (Lines{"L1 10"}));
    EXPECT_EQ(sectionLists[L2], (Lines{"L2 9"}));
    parseHexagramRecord(Lines{"<HN>11</HN>"}, 11);
    EXPECT_EQ(sectionLists[GUACI], (Lines{"GUACI 10"}));
}

TEST_F(TextSources, LookupMatchesTheWholeKey) {
    const Lines dictionary = {"3 mai 9EA6 wheat", "13 ma *99AC stallion", "3 ma   9A6C horse  ",
                              "3 ma 4E00 later line"};
    CharacterEntry entry = lookupCharacter("3 ma", dictionary);
    EXPECT_EQ(entry.code, "9A6C");
    EXPECT_EQ(entry.definition, "horse");
    entry = lookupCharacter("13 ma", dictionary);
    EXPECT_EQ(entry.code, "99AC");
    EXPECT_EQ(entry.definition, "stallion");

    entry = lookupCharacter("4 ma", dictionary);
    EXPECT_EQ(entry.code, "");
    EXPECT_EQ(entry.definition, "NOT FOUND");
    EXPECT_TRUE(messages.empty());

    entry = lookupCharacter("5 yi", Lines{"5 yi 4E00", "5 yi"});
    EXPECT_EQ(entry.code, "");
    EXPECT_EQ(entry.definition, "NOT FOUND");
    EXPECT_EQ(messages, (Lines{"NOT FOUND"}));
}

TEST_F(TextSources, IndexedDictionaryAgreesWithTheScan) {
    const Lines lines = {"3 mai 9EA6 wheat",
                         "3 ma\t9A6C horse",
                         "3 ma 4E00 later",
                         "7 ren *4EBA man <i>person</i>",
                         "8 bu",
                         "9 x",
                         " lone 1234 blank first",
                         "12 ji   5409 lucky ",
                         ""};
    CharacterDictionary dictionary{Lines(lines)};
    const char* keys[] = {"3 ma", "3 mai", "7 ren", "8 bu",  "9 x",    " lone", "12 ji",
                          "3",    "",      "3 m",   "x y z", "12 ji ", "ren",   "9 x 1"};
    for (const char* key : keys) {
        messages.clear();
        CharacterEntry scanned = lookupCharacter(key, lines);
        Lines scanMessages = messages;
        messages.clear();
        CharacterEntry indexed = dictionary.lookup(key);
        EXPECT_EQ(indexed.code, scanned.code) << "key '" << key << "'";
        EXPECT_EQ(indexed.definition, scanned.definition) << "key '" << key << "'";
        EXPECT_EQ(messages, scanMessages) << "key '" << key << "'";
    }
    EXPECT_EQ(dictionary.lookup("7 ren").definition, "man <i>person</i>");
}

TEST_F(TextSources, ItemKeys) {
    ItemKey key;
    ASSERT_TRUE(itemKey("*ma 3", key));
    EXPECT_EQ(key.reading, "ma");
    EXPECT_EQ(key.key, "3 ma");
    ASSERT_TRUE(itemKey("yi 1234567890", key));
    EXPECT_EQ(key.key, "123456789 yi");
    EXPECT_FALSE(itemKey("lonely", key));
    EXPECT_FALSE(itemKey(" 3", key));
}

} // namespace
