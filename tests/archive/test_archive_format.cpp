// The archive layout, the member scan, the key and checksum rules and the
// handling of damaged archives.
#include "archive_fixtures.h"

#include "archive/errors.h"
#include "archive/writer.h"

#include <gtest/gtest.h>

namespace {

template <class E> std::string messageOf(const std::string& archive, const std::string& name) {
    try {
        extract(archive, name);
    } catch (const E& e) {
        return e.what();
    }
    return "(no error)";
}

// RLE stored form of plain text without escapes or runs is the text itself.
RawMember rleMember(const std::string& name, const std::string& text, int32_t lockMode = 0,
                    int32_t checksumExtra = 0) {
    RawMember m = storedMember(name, text);
    m.method = methodRLE;
    m.lockMode = lockMode;
    m.checksum = static_cast<int32_t>(byteSumOf(text) + static_cast<uint32_t>(checksumExtra));
    return m;
}

} // namespace

TEST(ArchiveLayout, HandMadeBytesAreReadAndWrittenAlike) {
    const std::string bytes =
        bytesOf({'Z', 'E', 'L',  'K',  0x1A, 'N', 'O', 'N', 3, 0, 0,   0,   1,   0,  0,
                 0,   0,   0,    0,    0,    0, // header
                 1,   0,   0,    0,    0,    0,   0,   0,   3, 0, 0,   0,   3,   0,  0,
                 0,   0,   0x26, 0x01, 0,    0,   0,   0,   0, 0, 'a', 'a', 'b', 'c'});
    EXPECT_EQ(extract(bytes, "a"), "abc");
    EXPECT_EQ(rawArchive({storedMember("a", "abc")}), bytes);

    TArchiveWriter writer("NON", 0);
    writer.add("a", "abc", methodNON, 0);
    EXPECT_EQ(writer.bytes(), bytes);
}

TEST(ArchiveHeaderRules, ShortFilesHaveNoMembersAndBadHeadersAreRejected) {
    const std::string good = rawArchive({storedMember("a", "abc")});
    EXPECT_EQ(extract(good.substr(0, 20), "a"), "");
    EXPECT_EQ(extract("", "a"), "");

    std::string badSignature = good.substr(0, 21);
    badSignature[0] = 'X';
    EXPECT_EQ(messageOf<EInvalidHeader>(badSignature, "a"),
              "Can't recognize compressed file header");

    EXPECT_EQ(messageOf<EInvalidHeaderArchiveType>(
                  rawArchive({storedMember("a", "abc")}, "NON", {}, 0), "a"),
              "Archive type must be caMulti");

    EXPECT_EQ(messageOf<EUnrecognizedCompressionMethod>(
                  rawArchive({storedMember("a", "abc")}, "lzh"), "a"),
              "Unrecognized compression method: \"lzh\" in header");
}

TEST(ArchiveHeaderRules, OnRecognizeMayAcceptAnUnknownMethodId) {
    TCompress reader;
    std::string seen;
    reader.OnRecognize = [&seen](const std::string& id, bool& recognized) {
        seen = id;
        recognized = id == "XYZ";
    };
    EXPECT_EQ(reader.MethodIndex("LH5"), 4);
    EXPECT_EQ(reader.MethodIndex("XYZ"), 3);
    EXPECT_EQ(seen, "XYZ");
    EXPECT_THROW(reader.MethodIndex("QQQ"), EUnrecognizedCompressionMethod);
    EXPECT_EQ(extract(reader, rawArchive({storedMember("a", "abc")}, "XYZ"), "a"), "abc");
}

TEST(MemberScan, NamesMatchWholeWithAsciiLettersFoldedOnly) {
    const std::string archive =
        rawArchive({storedMember("coin.bmp", "1"), storedMember("img/coin.bmp", "2"),
                    storedMember("COIN.BMP", "3"), storedMember("\xC4.txt", "4")});
    EXPECT_EQ(extract(archive, "COIN.BMP"), "13");
    EXPECT_EQ(extract(archive, "coin.bmp"), "13");
    EXPECT_EQ(extract(archive, "Img/Coin.bmp"), "2");
    EXPECT_EQ(extract(archive, "coin.bm"), "");
    EXPECT_EQ(extract(archive, "\xE4.txt"), ""); // no folding outside A-Z
    EXPECT_EQ(extract(archive, "\xC4.TXT"), "4");
    EXPECT_TRUE(sameMemberName("a[b", "A[B"));
    EXPECT_FALSE(sameMemberName("[", "{")); // differ by the same bit as a letter's case
}

TEST(MemberScan, StopsWhenTheSumReachesTotalSize) {
    RawMember a = storedMember("a", "0123456789");
    RawMember b = storedMember("b", "");
    b.stored = "hidden";
    b.packedSize = 6;
    EXPECT_EQ(extract(rawArchive({a, b}, "NON", 10), "b"), "");
    EXPECT_EQ(extract(rawArchive({a, b}, "NON", 11), "b"), "hidden");
    EXPECT_EQ(extract(rawArchive({a}, "NON", 0), "a"), "");
}

TEST(MemberScan, TruncatedHeaderOrNameEndsTheScanQuietly) {
    const std::string archive =
        rawArchive({storedMember("a", "x"), storedMember("bb", "y")}, "NON", 1000);
    const size_t secondHeader = 21 + 25 + 1 + 1;
    EXPECT_EQ(extract(archive.substr(0, secondHeader + 24), "a"), "x");
    EXPECT_EQ(extract(archive.substr(0, secondHeader + 26), "bb"), "");
    EXPECT_EQ(extract(archive, "bb"), "y");
}

TEST(MemberScan, MethodOfEachMemberDecidesNotTheArchiveId) {
    const std::string text(500, 'q');
    RawMember m = storedMember("page.htm", text);
    m.method = methodLH5;
    m.stored = compressData(methodLH5, text, 0);
    EXPECT_EQ(extract(rawArchive({m}, "NON"), "page.htm"), text);
}

TEST(MemberScan, ContinuesAfterStoredDataThatTheMethodLeftUnread) {
    const std::string text(3000, 'z');
    RawMember m = storedMember("a", text);
    m.method = methodLH5;
    m.stored = compressData(methodLH5, text, 0) + std::string(20000, '\x55');
    const std::string archive = rawArchive({m, storedMember("b", "after")});
    EXPECT_EQ(extract(archive, "a"), text);
    EXPECT_EQ(extract(archive, "b"), "after");
}

TEST(KeyRules, LockedMemberWithoutKeyWritesNothing) {
    for (int32_t lock : {1, 2}) {
        TCompress reader;
        TMemoryStream out;
        out.write("keep", 4);
        EXPECT_THROW(extractInto(reader, rawArchive({rleMember("a", "text", lock)}), "a", out),
                     EInvalidKey);
        EXPECT_EQ(out.bytes(), "keep");
    }
}

TEST(KeyRules, ChecksumMayHoldThePlainSumOrTheSumPlusKey) {
    const int32_t key = 0x01020304;
    // Plain sum on a lock-1 member: any key passes.
    EXPECT_EQ(extract(rawArchive({rleMember("a", "text", 1)}), "a", 7), "text");
    // Sum plus key: only that key.
    const std::string withKey = rawArchive({rleMember("a", "text", 1, key)});
    EXPECT_EQ(extract(withKey, "a", key), "text");
    EXPECT_THROW(extract(withKey, "a", key + 1), EInvalidKey);
    // The same checksum on an open member is just wrong.
    EXPECT_THROW(extract(rawArchive({rleMember("a", "text", 0, key)}), "a", key), EBadChecksum);
}

TEST(KeyRules, WrongKeyOnScrambledMembersIsReportedAsInvalidKey) {
    const int32_t key = 730572913;
    std::string text;
    for (int i = 0; i < 4000; ++i)
        text += "The superior man furthers perseverance. "[i % 41];
    for (int method : {methodRLE, methodLZH, methodLH5}) {
        TArchiveWriter writer("LH5", key);
        writer.add("m", text, method, 2);
        const std::string archive = writer.bytes();
        EXPECT_EQ(extract(archive, "m", key), text) << method;
        for (int32_t wrong : {key ^ 1, key ^ 0x01000000, 12345})
            EXPECT_THROW(extract(archive, "m", wrong), EInvalidKey) << method << " " << wrong;
    }
}

TEST(KeyRules, StoredMembersAreCopiedWithoutTests) {
    RawMember m = storedMember("a", "raw bytes");
    m.checksum = 1;
    m.lockMode = 2;
    EXPECT_EQ(extract(rawArchive({m}), "a", 0), "raw bytes");
    EXPECT_EQ(extract(rawArchive({m}), "a", 99), "raw bytes");
}

TEST(ChecksumRules, AlteredOpenMemberFailsAfterItsBytesWereWritten) {
    RawMember m = rleMember("a", "hello");
    m.stored[1] = 'a';
    TCompress reader;
    TMemoryStream out;
    EXPECT_THROW(extractInto(reader, rawArchive({m}), "a", out), EBadChecksum);
    EXPECT_EQ(out.bytes(), "hallo");
}

TEST(ChecksumRules, EveryMemberOfTheNameIsExpandedUntilOneFails) {
    RawMember bad = rleMember("A", "second");
    bad.checksum = 0;
    const std::string archive = rawArchive({rleMember("a", "first"), bad, rleMember("a", "third")});
    TCompress reader;
    TMemoryStream out;
    EXPECT_THROW(extractInto(reader, archive, "a", out), EBadChecksum);
    EXPECT_EQ(out.bytes(), "firstsecond");
}

TEST(CustomMethod, OnExpandReceivesTheMemberAndSetsTheChecksum) {
    RawMember m = storedMember("c", "ABC");
    m.method = methodCUS;
    m.expandedSize = 6;
    m.checksum = 42;
    TCompress reader;
    reader.OnExpand = [](TStream& dest, TStream& source, int32_t sourceSize, int32_t destSize,
                         const std::string& id, int32_t& checksum) {
        EXPECT_EQ(sourceSize, 3);
        EXPECT_EQ(destSize, 6);
        EXPECT_EQ(id, "CUS");
        std::string in(3, '\0');
        source.read(in.data(), 3);
        dest.write((in + in).data(), 6);
        checksum = 42;
    };
    const std::string archive = rawArchive({m, storedMember("d", "next")}, "CUS");
    EXPECT_EQ(extract(reader, archive, "c"), "ABCABC");
    EXPECT_EQ(extract(reader, archive, "d"), "next");
}

TEST(DamagedArchives, ImpossibleHeadersAreRejected) {
    auto damaged = [](RawMember m) {
        // The damaged member comes second so that the scan meets it after a good one.
        return rawArchive({storedMember("ok", "fine"), m}, "NON", 1 << 30);
    };
    RawMember negativeName = storedMember("x", "data");
    negativeName.nameLength = -5;
    RawMember negativePacked = storedMember("x", "data");
    negativePacked.packedSize = -30;
    RawMember negativeExpanded = storedMember("x", "data");
    negativeExpanded.expandedSize = -1;
    RawMember huge = storedMember("x", "data");
    huge.expandedSize = MaxExpandedSize + 1;
    RawMember custom = storedMember("x", "data");
    custom.method = methodCUS;
    RawMember unknown = storedMember("x", "data");
    unknown.method = 5;
    RawMember last = storedMember("x", "data");
    last.method = 255;

    for (const RawMember& m :
         {negativeName, negativePacked, negativeExpanded, huge, custom, unknown, last}) {
        TCompress reader;
        TMemoryStream out;
        EXPECT_THROW(extractInto(reader, damaged(m), "x", out), EDamagedArchive);
        EXPECT_EQ(out.bytes(), "");
    }
    // Unknown methods only matter for the members being expanded.
    EXPECT_EQ(extract(damaged(unknown), "ok"), "fine");

    RawMember biggest = storedMember("x", "data");
    biggest.expandedSize = MaxExpandedSize;
    EXPECT_EQ(extract(damaged(biggest), "x"), "data");
}

TEST(DamagedArchives, OutputFarBeyondTheExpandedSizeIsStopped) {
    std::string runs;
    for (int i = 0; i < 8; ++i)
        runs += bytesOf({'A', 0x94, 0xFF});
    RawMember m = rleMember("a", "A");
    m.stored = runs;
    m.expandedSize = 1;
    EXPECT_THROW(extract(rawArchive({m}), "a"), EDamagedArchive);
    m.lockMode = 2;
    EXPECT_THROW(extract(rawArchive({m}), "a", 77), EInvalidKey);
}

TEST(DamagedArchives, StoredDataEndingEarlyLeaveTheChecksumToDecide) {
    RawMember m = rleMember("a", "abcdef");
    m.packedSize = 1000; // the file ends long before
    EXPECT_EQ(extract(rawArchive({m}), "a"), "abcdef");
    m.checksum += 1;
    EXPECT_THROW(extract(rawArchive({m}), "a"), EBadChecksum);

    RawMember stored = storedMember("s", "abc");
    stored.packedSize = 1 << 30;
    EXPECT_EQ(extract(rawArchive({stored}), "s"), "abc");
}

TEST(Component, TargetPathGetsATrailingSeparator) {
    TCompress c;
    EXPECT_EQ(c.TargetPath(), "");
    c.setTargetPath("/tmp/out");
    EXPECT_EQ(c.TargetPath(), "/tmp/out/");
    c.setTargetPath("/tmp/out/");
    EXPECT_EQ(c.TargetPath(), "/tmp/out/");
    c.setTargetPath("");
    EXPECT_EQ(c.TargetPath(), "");
}

TEST(Component, ReadsFromFilesAndReportsMissingOnes) {
    TCompress reader;
    TMemoryStream out;
    try {
        reader.ExtractMember("/nonexistent/data1.hhz", "a", out);
        FAIL() << "no error";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot open file \"/nonexistent/data1.hhz\". ", 0),
                  0u);
    }
}
