// Members written by our writer with every method come back unchanged
// through the reader, open, locked and scrambled.
#include "archive_fixtures.h"

#include "archive/errors.h"
#include "archive/writer.h"

#include <gtest/gtest.h>

#include <random>

namespace {

struct Sample {
    const char* label;
    std::string data;
};

std::vector<Sample> samples() {
    std::mt19937 gen(7);
    std::string random(70000, '\0'); // more than 40000 symbols for every method
    for (auto& c : random)
        c = static_cast<char>(gen());
    std::string text;
    const char* words[] = {"heaven ", "earth ", "the ", "line ", "changes ", "<p>", "</p>\n"};
    while (text.size() < 300000)
        text += words[gen() % 7];
    return {{"empty", ""},
            {"one byte", "x"},
            {"escape byte", "\x94"},
            {"repetitive", std::string(100000, 'a') + std::string(5000, '\x94')},
            {"random", random},
            {"text", text}};
}

} // namespace

TEST(ArchiveRoundTrip, EveryMethodAndLockModeGivesTheDataBack) {
    const int32_t key = 730572913;
    const auto inputs = samples();
    for (int method : {methodNON, methodRLE, methodLZH, methodLH5}) {
        for (int32_t lock : {0, 1, 2}) {
            TArchiveWriter writer(MethodIDs[method], key);
            for (const auto& s : inputs)
                writer.add(s.label, s.data, method, lock);
            writer.add("last", "end", methodNON, 0);
            const std::string archive = writer.bytes();
            for (const auto& s : inputs) {
                SCOPED_TRACE(std::string(MethodIDs[method]) + " lock " + std::to_string(lock) +
                             " " + s.label);
                EXPECT_EQ(extract(archive, s.label, key), s.data);
            }
            EXPECT_EQ(extract(archive, "last", key), "end");
        }
    }
}

TEST(ArchiveRoundTrip, WriterFallsBackToStoredWhenAMethodCannotShrink) {
    TArchiveWriter writer("RLE", 99);
    EXPECT_EQ(writer.add("a", "\x94", methodRLE, 2), methodNON);
    EXPECT_EQ(writer.add("b", std::string(1000, 'b'), methodRLE, 2), methodRLE);
    const std::string archive = writer.bytes();
    EXPECT_EQ(extract(archive, "a"), "\x94"); // open: no key needed
    EXPECT_THROW(extract(archive, "b"), EInvalidKey);
    EXPECT_EQ(extract(archive, "b", 99), std::string(1000, 'b'));
}

namespace {

// Empty members cannot be told from missing ones by their content: the scan
// itself must reach them.
std::vector<std::string> memberNames(const std::string& archive) {
    TMemoryStream stream(archive);
    TCompress reader;
    std::vector<std::string> names;
    reader.ForEachMember(stream, [&names](const TMemberInfo& m) { names.push_back(m.name); });
    return names;
}

} // namespace

TEST(ArchiveRoundTrip, EmptyMembersAfterTheLastDataAreStillFound) {
    for (int method : {methodNON, methodLH5}) {
        SCOPED_TRACE(MethodIDs[method]);
        TArchiveWriter trailing(MethodIDs[method], 0);
        trailing.add("a", "data", method, 0);
        trailing.add("e1", "", method, 0);
        trailing.add("e2", "", method, 0);
        EXPECT_EQ(memberNames(trailing.bytes()), (std::vector<std::string>{"a", "e1", "e2"}));
        EXPECT_EQ(extract(trailing.bytes(), "a"), "data");

        TArchiveWriter onlyEmpty(MethodIDs[method], 0);
        onlyEmpty.add("e", "", method, 0);
        EXPECT_EQ(memberNames(onlyEmpty.bytes()), (std::vector<std::string>{"e"}));
    }
    // Without empty members at the end the header holds the plain sum.
    TArchiveWriter plain("NON", 0);
    plain.add("e", "", methodNON, 0);
    plain.add("a", "data", methodNON, 0);
    const std::string bytes = plain.bytes();
    EXPECT_EQ(decodeArchiveHeader(reinterpret_cast<const unsigned char*>(bytes.data())).TotalSize,
              4);
}

TEST(ArchiveRoundTrip, WriterRefusesWhatNoReaderCouldOpen) {
    TArchiveWriter open("LH5", 0);
    EXPECT_THROW(open.add("a", "data", methodLH5, 2), std::invalid_argument);
    EXPECT_THROW(open.add("a", "data", methodCUS, 0), std::invalid_argument);
    EXPECT_THROW(open.add(std::string(40000, 'n'), "data", methodNON, 0), std::invalid_argument);
    EXPECT_THROW(TArchiveWriter("lh5", 0), std::invalid_argument);
}
