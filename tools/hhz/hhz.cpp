// hhz: creates, lists, extracts and tests .hhz archives.
#include "archive/compress.h"
#include "archive/content.h"
#include "archive/errors.h"
#include "archive/writer.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char Usage[] =
    "usage:\n"
    "  hhz create [--method NON|RLE|LZH|LH5] [--key N] [--lock 0|1|2] ARCHIVE FILE[:METHOD]...\n"
    "  hhz list ARCHIVE\n"
    "  hhz extract [--key N | --program-key] ARCHIVE -C DIR [MEMBER...]\n"
    "  hhz test [--key N | --program-key] ARCHIVE\n"
    "\n"
    "create  packs the files under their base names, in the order given. --method\n"
    "        sets the method of every member (default LH5) and the archive's method\n"
    "        ID; FILE:METHOD overrides it for one file, e.g. notes.txt:RLE. A member\n"
    "        that its method cannot shrink is stored as is. --lock 1 locks the\n"
    "        members with the key, --lock 2 also scrambles their data; both need\n"
    "        --key. The archive is written to a temporary file and then renamed.\n"
    "list    prints one line per member: name, method, expanded size, packed size,\n"
    "        lock mode.\n"
    "extract expands the named members (all when none is named) into DIR; members\n"
    "        of the same name (letters compared without case) are joined.\n"
    "test    expands every member and checks its checksum.\n"
    "--program-key uses the key built into the program.\n";

// A command-line mistake: reported with the usage hint, exit status 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Counts what is written and keeps nothing.
class TNullStream : public TStream {
public:
    size_t read(void*, size_t) override { return 0; }
    void write(const void*, size_t count) override { size_ += static_cast<int64_t>(count); }
    int64_t position() const override { return size_; }
    void setPosition(int64_t) override {}
    int64_t size() const override { return size_; }

private:
    int64_t size_ = 0;
};

struct Options {
    std::string command;
    std::vector<std::string> positional;
    int method = methodLH5;
    int32_t key = 0;
    bool keyGiven = false;
    bool programKey = false;
    int lock = 0;
    std::string directory;
};

int parseMethod(const std::string& text) {
    for (int m : {methodNON, methodRLE, methodLZH, methodLH5}) {
        std::string id = MethodIDs[m];
        if (sameMemberName(text, id))
            return m;
    }
    return -1;
}

long long parseNumber(const std::string& text, long long low, long long high, const char* what) {
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end || errno == ERANGE || v < low || v > high)
        throw UsageError(std::string("invalid ") + what + ": \"" + text + "\"");
    return v;
}

Options parseArguments(int argc, char** argv) {
    Options o;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        throw UsageError("no command given");
    o.command = args[0];
    auto value = [&](size_t& i) -> const std::string& {
        if (i + 1 >= args.size())
            throw UsageError("option " + args[i] + " needs a value");
        return args[++i];
    };
    bool options = true;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (options && a == "--") {
            options = false;
        } else if (options && a == "--method" && o.command == "create") {
            o.method = parseMethod(value(i));
            if (o.method < 0)
                throw UsageError("unknown method \"" + args[i] + "\" (NON, RLE, LZH or LH5)");
        } else if (options && a == "--key" && o.command != "list") {
            o.key = static_cast<int32_t>(parseNumber(value(i), std::numeric_limits<int32_t>::min(),
                                                     std::numeric_limits<int32_t>::max(), "key"));
            o.keyGiven = true;
        } else if (options && a == "--lock" && o.command == "create") {
            o.lock = static_cast<int>(parseNumber(value(i), 0, 2, "lock mode"));
        } else if (options && a == "--program-key" &&
                   (o.command == "extract" || o.command == "test")) {
            o.programKey = true;
        } else if (options && a == "-C" && o.command == "extract") {
            o.directory = value(i);
        } else if (options && a.size() > 1 && a[0] == '-') {
            throw UsageError("unknown option " + a + " for " + o.command);
        } else {
            o.positional.push_back(a);
        }
    }
    if (o.keyGiven && o.programKey)
        throw UsageError("--key and --program-key exclude each other");
    if (o.programKey)
        o.key = programKey();
    return o;
}

// Member names compared the way the reader does: ASCII letters folded.
std::string foldCase(std::string name) {
    for (char& c : name)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return name;
}

std::string baseName(const std::string& path) {
    return fs::path(path).filename().string();
}

// Writes bytes to path through a temporary file in the same folder, so that
// a failure never leaves a partial file under the final name.
void writeFileAtomically(const std::string& path, const std::string& bytes) {
    fs::path target(path);
    std::string pattern =
        (target.parent_path().empty() ? fs::path(".") : target.parent_path()).string() + "/." +
        target.filename().string() + ".XXXXXX";
    int fd = mkstemp(pattern.data());
    if (fd < 0)
        throw std::runtime_error("cannot create a temporary file beside " + path + ": " +
                                 std::strerror(errno));
    const mode_t mask = ::umask(0); // mkstemp makes 0600; give the usual permissions
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            std::string reason = std::strerror(errno);
            ::close(fd);
            ::unlink(pattern.c_str());
            throw std::runtime_error("cannot write " + path + ": " + reason);
        }
        done += static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0 || std::rename(pattern.c_str(), path.c_str()) != 0) {
        std::string reason = std::strerror(errno);
        ::unlink(pattern.c_str());
        throw std::runtime_error("cannot write " + path + ": " + reason);
    }
}

int create(const Options& o) {
    if (o.positional.size() < 2)
        throw UsageError("create needs an archive and at least one file");
    if (o.lock > 0 && o.key == 0)
        throw UsageError("--lock needs a non-zero --key");
    TArchiveWriter writer(MethodIDs[o.method], o.key);
    for (size_t i = 1; i < o.positional.size(); ++i) {
        std::string file = o.positional[i];
        int method = o.method;
        size_t colon = file.rfind(':');
        if (colon != std::string::npos && parseMethod(file.substr(colon + 1)) >= 0) {
            method = parseMethod(file.substr(colon + 1));
            file.erase(colon);
        }
        std::string data = readWholeFile(file);
        int used = writer.add(baseName(file), data, method, method == methodNON ? 0 : o.lock);
        std::printf("%-32s %s%s\n", baseName(file).c_str(), MethodIDs[used],
                    used != method ? " (stored: the method could not shrink it)" : "");
    }
    writeFileAtomically(o.positional[0], writer.bytes());
    return 0;
}

std::string methodName(uint8_t method) {
    return method < MethodCount ? MethodIDs[method] : std::to_string(method);
}

int list(const Options& o) {
    if (o.positional.size() != 1)
        throw UsageError("list needs exactly one archive");
    TFileStream archive(o.positional[0]);
    TCompress reader;
    reader.OnRecognize = [](const std::string&, bool& recognized) { recognized = true; };
    std::printf("%-32s %-6s %10s %10s %4s\n", "name", "method", "size", "packed", "lock");
    reader.ForEachMember(archive, [](const TMemberInfo& m) {
        std::printf("%-32s %-6s %10d %10d %4d\n", m.name.c_str(),
                    methodName(m.header.Method).c_str(), m.header.ExpandedSize, m.header.PackedSize,
                    m.header.LockMode);
    });
    return 0;
}

// A member name that is safe to use as a file name inside the target folder.
bool safeFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

int extract(const Options& o) {
    if (o.positional.empty() || o.directory.empty())
        throw UsageError("extract needs an archive and -C DIR");
    const std::vector<std::string> wanted(o.positional.begin() + 1, o.positional.end());
    auto isWanted = [&wanted](const std::string& name) {
        if (wanted.empty())
            return true;
        for (const auto& w : wanted)
            if (sameMemberName(name, w))
                return true;
        return false;
    };

    TFileStream archive(o.positional[0]);
    TCompress reader;
    reader.Key = o.key;
    // Output files keyed by the name folded to lower case, in file order.
    std::vector<std::pair<std::string, TMemoryStream>> outputs;
    std::map<std::string, size_t> index;
    reader.ForEachMember(archive, [&](const TMemberInfo& m) {
        if (!isWanted(m.name))
            return;
        if (!safeFileName(m.name))
            throw std::runtime_error("refusing to extract member \"" + m.name +
                                     "\": not a plain file name");
        auto found = index.find(foldCase(m.name));
        if (found == index.end()) {
            found = index.emplace(foldCase(m.name), outputs.size()).first;
            outputs.emplace_back(m.name, TMemoryStream());
        }
        reader.ExpandMember(archive, m, outputs[found->second].second);
    });

    int status = 0;
    for (const auto& w : wanted)
        if (index.find(foldCase(w)) == index.end()) {
            std::fprintf(stderr, "hhz: no member \"%s\" in %s\n", w.c_str(),
                         o.positional[0].c_str());
            status = 1;
        }
    fs::create_directories(o.directory);
    for (const auto& [name, stream] : outputs) {
        std::string path = (fs::path(o.directory) / name).string();
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(stream.bytes().data(), static_cast<std::streamsize>(stream.bytes().size()));
        out.close();
        if (!out)
            throw std::runtime_error("cannot write " + path);
        std::printf("%s\n", path.c_str());
    }
    return status;
}

int test(const Options& o) {
    if (o.positional.size() != 1)
        throw UsageError("test needs exactly one archive");
    TFileStream archive(o.positional[0]);
    TCompress reader;
    reader.Key = o.key;
    int members = 0, failed = 0;
    reader.ForEachMember(archive, [&](const TMemberInfo& m) {
        ++members;
        TNullStream sink;
        try {
            reader.ExpandMember(archive, m, sink);
            std::printf("%-32s OK%s\n", m.name.c_str(),
                        m.header.Method == methodNON ? " (stored, no checksum)" : "");
        } catch (const ELunvareth& e) {
            ++failed;
            std::printf("%-32s FAILED: %s\n", m.name.c_str(), e.what());
        }
    });
    std::printf("%d member(s), %d failed\n", members, failed);
    if (failed)
        std::fprintf(stderr, "hhz: %s: %d of %d member(s) failed the test\n",
                     o.positional[0].c_str(), failed, members);
    return failed ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(Usage, stdout);
        return 0;
    }
    try {
        Options o = parseArguments(argc, argv);
        if (o.command == "create")
            return create(o);
        if (o.command == "list")
            return list(o);
        if (o.command == "extract")
            return extract(o);
        if (o.command == "test")
            return test(o);
        throw UsageError("unknown command \"" + o.command + "\"");
    } catch (const UsageError& e) {
        std::fprintf(stderr, "hhz: %s\n(hhz --help shows the usage)\n", e.what());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "hhz: %s\n", e.what());
        return 1;
    }
}
