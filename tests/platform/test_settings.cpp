// config.ini: reading the zoom, writing it back, and what must never happen
// to the file.
#include "app/settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class ConfigFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/lunv-settings-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder_ = pattern;
        path_ = (folder_ / "config.ini").string();
    }
    void TearDown() override {
        fs::permissions(folder_, fs::perms::owner_all);
        fs::remove_all(folder_);
    }

    void write(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
    std::string contents() const {
        std::ifstream in(path_, std::ios::binary);
        std::ostringstream all;
        all << in.rdbuf();
        return all.str();
    }
    int read(const std::string& text) {
        write(text);
        int zoom = 100;
        syncSettingsFile(path_, true, zoom);
        return zoom;
    }
    std::string rewrite(const std::string& text, int zoom) {
        write(text);
        syncSettingsFile(path_, false, zoom);
        return contents();
    }

    fs::path folder_;
    std::string path_;
};

TEST_F(ConfigFileTest, ReadsTheZoomLine) {
    EXPECT_EQ(read("ZOOM=150\n"), 150);
    EXPECT_EQ(read("ZOOM=175"), 175);
    EXPECT_EQ(read("ZOOM=130\r\n"), 130); // not a menu value, still taken
    EXPECT_EQ(read("[view]\nZOOM=200\nother=1\n"), 200);
    EXPECT_EQ(read("MYZOOM=125\n"), 125);  // the key may stand anywhere
    EXPECT_EQ(read("ZOOM=1=2\nX\n"), 100); // everything after the first "="
    EXPECT_EQ(read("zoom=150\n"), 100);    // the key test is case-sensitive
    EXPECT_EQ(read("ZOOM = 150\n"), 100);  // "ZOOM=" must occur as such
    EXPECT_EQ(read("ZOOM= 150 \n"), 150);  // blanks around the number
    EXPECT_EQ(read("ZOOM=175\rX\r"), 175); // lines that end in a lone CR
}

TEST_F(ConfigFileTest, EmptyAndBadValuesReadAsHundred) {
    for (const char* text :
         {"ZOOM=-\n", "ZOOM=\n", "ZOOM=abc\n", "ZOOM=5\n", "ZOOM=99999\n", "ZOOM=1.5\n",
          "ZOOM=150abc\n", "ZOOM=-150\n", "ZOOM=+\n", "ZOOM=99999999999999999999\n"})
        EXPECT_EQ(read(text), 100) << text;
    EXPECT_EQ(read("ZOOM=10\n"), 10);
    EXPECT_EQ(read("ZOOM=1000\n"), 1000);
}

TEST_F(ConfigFileTest, TopmostZoomLineWinsAndAllAreRewritten) {
    EXPECT_EQ(read("ZOOM=150\nZOOM=200\n"), 150);
    EXPECT_EQ(rewrite("ZOOM=150\nname=x\nZOOM=200\n", 125), "ZOOM=125\nname=x\nZOOM=125\n");
}

TEST_F(ConfigFileTest, LinesWithoutZoomKeepTheCurrentValue) {
    int zoom = 150;
    write("# settings\nname=x\n");
    syncSettingsFile(path_, true, zoom);
    EXPECT_EQ(zoom, 150);
}

TEST_F(ConfigFileTest, RewriteChangesOnlyZoomLines) {
    EXPECT_EQ(rewrite("a=1\nMYZOOM=125\n  b = 2 \n", 175), "a=1\nZOOM=175\n  b = 2 \n");
    EXPECT_EQ(rewrite("ZOOM=-\r\nx\r\n", 150), "ZOOM=150\r\nx\r\n"); // CR LF kept
    EXPECT_EQ(rewrite("x\nZOOM=100", 130), "x\nZOOM=130");           // no line end added
    EXPECT_EQ(rewrite("ZOOM=1\rname=x\r\nZOOM=2\n", 150), "ZOOM=150\rname=x\r\nZOOM=150\n");
    EXPECT_EQ(rewrite("", 150), "");
}

TEST_F(ConfigFileTest, FileWithoutZoomLineStaysUnchanged) {
    const std::string text = "first\r\nsecond\n\nthird";
    EXPECT_EQ(rewrite(text, 150), text);
}

TEST_F(ConfigFileTest, MissingFileReadsHundredAndIsNeverCreated) {
    int zoom = 150;
    syncSettingsFile(path_, true, zoom);
    EXPECT_EQ(zoom, 100);
    syncSettingsFile(path_, false, zoom);
    EXPECT_FALSE(fs::exists(path_));
}

TEST_F(ConfigFileTest, ReadOnlyFolderIsNoError) {
    write("ZOOM=150\n");
    fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
    int zoom = 200;
    EXPECT_NO_THROW(syncSettingsFile(path_, false, zoom));
    if (::geteuid() != 0) { // root writes anyway
        EXPECT_EQ(contents(), "ZOOM=150\n");
    }
    fs::permissions(folder_, fs::perms::owner_all);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

TEST_F(ConfigFileTest, RewriteKeepsModeAndLeavesNoTemporaryFile) {
    write("ZOOM=150\n");
    fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    int zoom = 200;
    syncSettingsFile(path_, false, zoom);
    EXPECT_EQ(contents(), "ZOOM=200\n");
    EXPECT_EQ(fs::status(path_).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

TEST_F(ConfigFileTest, RewriteGoesThroughSymlink) {
    write("ZOOM=150\n");
    const fs::path link = folder_ / "link.ini";
    fs::create_symlink(path_, link);
    int zoom = 110;
    syncSettingsFile(link.string(), false, zoom);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(contents(), "ZOOM=110\n");
}

TEST(ConfigLine, WritingTrimsAndMarksEmptyValues) {
    std::vector<std::string> lines{"ZOOM=1", "other", "xZOOM=2"};
    std::string value = "  150 ";
    configLine("ZOOM", value, lines, 0, false);
    EXPECT_EQ(lines[0], "ZOOM=150");
    EXPECT_EQ(value, "150");
    value = " ";
    configLine("ZOOM", value, lines, 2, false);
    EXPECT_EQ(lines[2], "ZOOM=-");
    value = "keep";
    configLine("ZOOM", value, lines, 1, true); // not a ZOOM line
    configLine("ZOOM", value, lines, 7, true); // no such line
    EXPECT_EQ(value, "keep");
    EXPECT_EQ(lines[1], "other");
}

} // namespace
