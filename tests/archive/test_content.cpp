// Content access: the program folder, the shared reader and its key, the
// texto folder, and the random generator behind the key.
#include "archive_fixtures.h"

#include "archive/content.h"
#include "archive/errors.h"
#include "archive/random.h"
#include "archive/writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class ContentAccess : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("lunv_content_" + std::to_string(getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_ / "texto");
        savedFolder_ = programFolder();
        setProgramFolder(folder_.string());
        freeArchiveReader();
    }
    void TearDown() override {
        freeArchiveReader();
        setProgramFolder(savedFolder_);
        fs::remove_all(folder_);
    }
    // data1.hhz as the build packs it: LH5, scrambled with the program's key.
    void writeArchive(const std::vector<std::pair<std::string, std::string>>& members) {
        TArchiveWriter writer("LH5", programKey());
        for (const auto& [name, data] : members)
            writer.add(name, data, methodLH5, 2);
        writeFile(folder_ / "data1.hhz", writer.bytes());
    }
    fs::path folder_;
    std::string savedFolder_;
};

} // namespace

TEST(ContentKey, LiteralUnscramblesToTheArchiveKey) {
    EXPECT_EQ(programKey(), 730572913);
    EXPECT_EQ(unscrambleText(""), "");
    // Same output on every call, whatever was drawn in between.
    std::string all;
    for (int c = 0; c < 256; ++c)
        all += static_cast<char>(c);
    const std::string once = unscrambleText(all + all);
    Random(1000);
    EXPECT_EQ(unscrambleText(all + all), once);
    EXPECT_EQ(once.find('\0'), std::string::npos);
}

TEST(ContentKey, RandomFollowsTheLinearCongruentialSequence) {
    RandSeed = 0;
    EXPECT_EQ(Random(1000), 0u);  // seed 1
    EXPECT_EQ(Random(1000), 31u); // seed 134775814
    EXPECT_EQ(RandSeed, 134775814u);
    EXPECT_EQ(Random(1000), 861u); // seed 3698175007
    EXPECT_EQ(Random(0), 0u);
    RandSeed = 0x7FFFFFFF;
    double r = RandomReal();
    EXPECT_GE(r, 0.0);
    EXPECT_LT(r, 1.0);
    EXPECT_DOUBLE_EQ(r, RandSeed / 4294967296.0);
}

TEST(ContentPaths, ProgramFolderIsTheExecutablesFolder) {
    const std::string folder = programFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(fs::exists(folder + "archive_tests"));
    EXPECT_EQ(textoPath("ed.txt"), folder + "texto/ed.txt");
}

TEST_F(ContentAccess, MembersAreFoundByNameWithoutCase) {
    writeArchive({{"coin.bmp", "BM-picture"}, {"page.htm", "<p>one</p>"}});
    EXPECT_EQ(loadContent("COIN.BMP", sourceArchive), "BM-picture");
    EXPECT_EQ(loadContent("img/coin.bmp", sourceArchive), "");
    EXPECT_EQ(loadContent("missing.htm", sourceArchive), "");
}

TEST_F(ContentAccess, SameNamedMembersAreJoinedFromThePosition) {
    writeArchive({{"a.css", "first;"}, {"A.CSS", "second;"}});
    TMemoryStream stream;
    stream.write("prefix:", 7);
    loadArchiveMember(archivePath(), stream, "a.css");
    EXPECT_EQ(stream.bytes(), "prefix:first;second;");
    EXPECT_EQ(stream.position(), static_cast<int64_t>(stream.bytes().size()));
}

TEST_F(ContentAccess, ReaderIsCreatedOnFirstUseAndAgainAfterFree) {
    writeArchive({{"about.htm", "about"}});
    EXPECT_EQ(archiveReader, nullptr);
    EXPECT_EQ(loadContent("about.htm", sourceArchive), "about");
    ASSERT_NE(archiveReader, nullptr);
    EXPECT_EQ(archiveReader->Key, 730572913);
    freeArchiveReader();
    EXPECT_EQ(archiveReader, nullptr);
    EXPECT_EQ(loadContent("about.htm", sourceArchive), "about");
}

TEST_F(ContentAccess, EmptyArchiveIsEmptyMissingArchiveIsAnError) {
    writeFile(folder_ / "data1.hhz", "");
    EXPECT_EQ(loadContent("about.htm", sourceArchive), "");
    fs::remove(folder_ / "data1.hhz");
    try {
        loadContent("about.htm", sourceArchive);
        FAIL() << "no error";
    } catch (const EFOpenError& e) {
        EXPECT_NE(std::string(e.what()).find(archivePath()), std::string::npos);
    }
}

TEST_F(ContentAccess, TextoFilesAreReadWhole) {
    const std::string text = std::string("line one\r\nline two\0three", 25);
    writeFile(folder_ / "texto" / "ed.txt", text);
    EXPECT_EQ(loadContent("ed.txt", sourceFolder), text);
    EXPECT_THROW(loadContent("yijing.txt", sourceFolder), EFOpenError);
}

TEST_F(ContentAccess, AFolderInPlaceOfAFileIsAnOpenError) {
    fs::create_directories(folder_ / "texto" / "ed.txt");
    EXPECT_THROW(loadContent("ed.txt", sourceFolder), EFOpenError);
    fs::create_directories(folder_ / "data1.hhz");
    EXPECT_THROW(loadContent("about.htm", sourceArchive), EFOpenError);
}

TEST_F(ContentAccess, TwoReadersMayReadTheArchiveAtOnce) {
    std::string big(300000, '\0');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>("hexagram "[i % 9]);
    writeArchive({{"big.htm", big}});
    // Hold the file open in one reader while another one reads it.
    TFileStream held(archivePath());
    TCompress other;
    other.Key = programKey();
    TMemoryStream out;
    other.ExtractMember(archivePath(), "big.htm", out);
    EXPECT_EQ(out.bytes(), big);
    EXPECT_EQ(loadContent("big.htm", sourceArchive), big);
}
