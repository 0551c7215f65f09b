// The hhz command-line tool, run as the build made it.
#include "archive/errors.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class HhzTool : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("lunv_hhz_" + std::to_string(getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_ / "in");
        // Real content files, an empty one and a binary one.
        for (const auto& entry : fs::directory_iterator(LUNV_CONTENT_DIR)) {
            if (entry.is_regular_file() && files_.size() < 12) {
                fs::copy_file(entry.path(), root_ / "in" / entry.path().filename());
                files_.push_back(entry.path().filename().string());
            }
        }
        writeFile(root_ / "in" / "empty.txt", "");
        std::mt19937 gen(3);
        std::string noise(50000, '\0');
        for (auto& c : noise)
            c = static_cast<char>(gen());
        writeFile(root_ / "in" / "noise.bin", noise);
        files_.push_back("noise.bin");
        files_.push_back("empty.txt"); // last: nothing after it reaches the size sum
    }
    void TearDown() override { fs::remove_all(root_); }

    // Runs hhz with args (already quoted as needed); returns the exit status.
    int hhz(const std::string& args) {
        std::string command = std::string("'") + HHZ_PATH + "' " + args + " >'" +
                              (root_ / "stdout").string() + "' 2>'" + (root_ / "stderr").string() +
                              "'";
        int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string out() { return readFile(root_ / "stdout"); }
    std::string err() { return readFile(root_ / "stderr"); }
    std::string path(const std::string& name) { return "'" + (root_ / name).string() + "'"; }
    std::string inputs() {
        std::string list;
        for (const auto& f : files_)
            list += " " + path("in/" + f);
        return list;
    }

    fs::path root_;
    std::vector<std::string> files_;
};

} // namespace

TEST_F(HhzTool, CreateListTestExtractRoundTrip) {
    const std::vector<std::string> keyOptions = {"", "--key 730572913 --lock 1",
                                                 "--key 730572913 --lock 2"};
    for (const char* method : {"NON", "RLE", "LZH", "LH5"}) {
        for (const auto& keyOption : keyOptions) {
            SCOPED_TRACE(std::string(method) + " " + keyOption);
            const std::string readKey = keyOption.empty() ? "" : "--program-key";
            fs::remove_all(root_ / "out");
            ASSERT_EQ(hhz("create --method " + std::string(method) + " " + keyOption + " " +
                          path("a.hhz") + inputs()),
                      0)
                << err();
            ASSERT_EQ(hhz("list " + path("a.hhz")), 0) << err();
            for (const auto& f : files_)
                EXPECT_NE(out().find(f), std::string::npos);
            EXPECT_EQ(hhz("test " + readKey + " " + path("a.hhz")), 0) << out();
            ASSERT_EQ(hhz("extract " + readKey + " " + path("a.hhz") + " -C " + path("out")), 0)
                << err();
            for (const auto& f : files_) {
                EXPECT_TRUE(fs::exists(root_ / "out" / f)) << f;
                EXPECT_EQ(readFile(root_ / "out" / f), readFile(root_ / "in" / f)) << f;
            }
        }
    }
}

TEST_F(HhzTool, PerFileMethodsAndChosenMembers) {
    ASSERT_EQ(hhz("create --method LZH " + path("a.hhz") + " " + path("in/noise.bin") + ":RLE " +
                  path("in/" + files_[0]) + ":NON " + path("in/" + files_[1])),
              0)
        << err();
    ASSERT_EQ(hhz("list " + path("a.hhz")), 0);
    const std::string listing = out();
    EXPECT_NE(listing.find("noise.bin"), std::string::npos);
    EXPECT_NE(listing.find("NON"), std::string::npos); // noise cannot shrink: stored
    EXPECT_NE(listing.find("LZH"), std::string::npos);

    ASSERT_EQ(hhz("extract " + path("a.hhz") + " -C " + path("out") + " NOISE.BIN"), 0) << err();
    EXPECT_EQ(readFile(root_ / "out" / "noise.bin"), readFile(root_ / "in" / "noise.bin"));
    EXPECT_FALSE(fs::exists(root_ / "out" / files_[0]));
    EXPECT_NE(hhz("extract " + path("a.hhz") + " -C " + path("out") + " nothere.htm"), 0);
}

TEST_F(HhzTool, ErrorsExitNonZeroWithAMessage) {
    ASSERT_EQ(hhz("create --key 5 --lock 2 " + path("a.hhz") + inputs()), 0);
    const std::string good = readFile(root_ / "a.hhz");

    EXPECT_NE(hhz("test --key 6 " + path("a.hhz")), 0); // wrong key
    EXPECT_NE(out().find("File locked -- valid key required"), std::string::npos);
    EXPECT_NE(hhz("extract " + path("a.hhz") + " -C " + path("out")), 0); // no key
    EXPECT_NE(err().find("File locked"), std::string::npos);

    EXPECT_NE(hhz("frobnicate"), 0);
    EXPECT_NE(hhz("list --bogus " + path("a.hhz")), 0);
    EXPECT_NE(err().find("--bogus"), std::string::npos);
    EXPECT_NE(hhz("create --lock 2 " + path("b.hhz") + inputs()), 0); // lock without key
    EXPECT_NE(hhz("create --method ZIP " + path("b.hhz") + inputs()), 0);
    EXPECT_NE(hhz("test --key 1 --program-key " + path("a.hhz")), 0);
    EXPECT_NE(hhz("list " + path("missing.hhz")), 0);
    EXPECT_NE(err().find("Cannot open file"), std::string::npos);

    // A failed create leaves neither a new archive nor a half-written one.
    EXPECT_NE(hhz("create " + path("a.hhz") + " " + path("in/" + files_[0]) + " " +
                  path("in/missing.htm")),
              0);
    EXPECT_EQ(readFile(root_ / "a.hhz"), good);
    size_t entries = 0;
    for (const auto& e : fs::directory_iterator(root_))
        entries += e.path().filename().string().rfind(".a.hhz", 0) == 0;
    EXPECT_EQ(entries, 0u);

    std::string damaged = good;
    damaged[0] = 'X';
    writeFile(root_ / "bad.hhz", damaged);
    EXPECT_NE(hhz("test --key 5 " + path("bad.hhz")), 0);
    EXPECT_NE(err().find("Can't recognize compressed file header"), std::string::npos);
}

TEST_F(HhzTool, ExtractRefusesMemberNamesThatLeaveTheFolder) {
    // Archive member names are plain bytes: build one by hand.
    const std::string name = "../evil.txt";
    std::string archive = std::string("ZELK\x1A"
                                      "NON",
                                      8) +
                          std::string("\x04\0\0\0\x01", 5) + std::string(8, '\0');
    archive += std::string(1, static_cast<char>(name.size())) + std::string(7, '\0');
    archive += std::string("\x04\0\0\0\x04\0\0\0\0", 9) + std::string(8, '\0');
    archive += name + "evil";
    writeFile(root_ / "evil.hhz", archive);
    EXPECT_NE(hhz("extract " + path("evil.hhz") + " -C " + path("out")), 0);
    EXPECT_FALSE(fs::exists(root_ / "evil.txt"));
    EXPECT_NE(err().find("../evil.txt"), std::string::npos);
}
