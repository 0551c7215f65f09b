#include "archive/content.h"

#include "archive/compress.h"
#include "archive/random.h"

#include <string>
#include <unistd.h>

namespace {

// Seed of the unscrambler; chosen together with KeyLiteral (made by tools/keylit).
constexpr uint32_t UnscrambleSeed = 2718281829u;
const char KeyLiteral[] = "\202\223\212\106\123\161\120\134\224";

std::string& folderStore() {
    static std::string folder;
    return folder;
}

std::string withSeparator(std::string folder) {
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

std::string executableFolder() {
    std::string path(4096, '\0');
    ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0)
        return "./";
    path.resize(static_cast<size_t>(n));
    return path.substr(0, path.rfind('/') + 1);
}

} // namespace

TCompress* archiveReader = nullptr;

const std::string& programFolder() {
    std::string& folder = folderStore();
    if (folder.empty())
        folder = executableFolder();
    return folder;
}

void setProgramFolder(const std::string& folder) {
    folderStore() = withSeparator(folder);
}

std::string archivePath() {
    return programFolder() + "data1.hhz";
}

std::string textoPath(const std::string& name) {
    return programFolder() + "texto/" + name;
}

void createArchiveReader() {
    archiveReader = new TCompress;
    archiveReader->Key = programKey();
}

void freeArchiveReader() {
    delete archiveReader;
    archiveReader = nullptr;
}

void loadArchiveMember(const std::string& archive, TStream& stream, const std::string& name) {
    if (!archiveReader)
        createArchiveReader();
    archiveReader->ExtractMember(archive, name, stream);
}

std::string loadContent(const std::string& name, int source) {
    if (source == sourceFolder)
        return readWholeFile(textoPath(name));
    TMemoryStream stream;
    loadArchiveMember(archivePath(), stream, name);
    return stream.bytes();
}

std::string unscrambleText(const std::string& scrambled) {
    RandSeed = UnscrambleSeed;
    std::string plain;
    plain.reserve(scrambled.size());
    for (unsigned char c : scrambled) {
        int v = int(c) - int(Random(99));
        if (v < 1)
            v += 255;
        plain += static_cast<char>(v);
    }
    return plain;
}

int32_t programKey() {
    return static_cast<int32_t>(std::stol(unscrambleText(KeyLiteral)));
}
