#include "archive/format.h"

const char* const MethodIDs[MethodCount] = {"NON", "RLE", "LZH", "CUS", "LH5"};

namespace {

int32_t getInt32(const unsigned char* p) {
    return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                                uint32_t(p[3]) << 24);
}

void putInt32(std::string& out, int32_t value) {
    auto v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

} // namespace

std::string encodeArchiveHeader(const ArchiveHeader& h) {
    std::string out(ArchiveSignature, sizeof ArchiveSignature);
    std::string id = h.MethodID;
    id.resize(3, ' ');
    out += id;
    putInt32(out, h.TotalSize);
    out += static_cast<char>(h.ArchiveType);
    putInt32(out, h.Reserved);
    putInt32(out, h.ArchiveLock);
    return out;
}

ArchiveHeader decodeArchiveHeader(const unsigned char* bytes) {
    ArchiveHeader h;
    h.MethodID.assign(reinterpret_cast<const char*>(bytes + 5), 3);
    h.TotalSize = getInt32(bytes + 8);
    h.ArchiveType = bytes[12];
    h.Reserved = getInt32(bytes + 13);
    h.ArchiveLock = getInt32(bytes + 17);
    return h;
}

std::string encodeMemberHeader(const MemberHeader& h) {
    std::string out;
    auto len = static_cast<uint16_t>(h.NameLength);
    out += static_cast<char>(len & 0xFF);
    out += static_cast<char>(len >> 8);
    out.append(6, '\0'); // time and attributes: not kept
    putInt32(out, h.ExpandedSize);
    putInt32(out, h.PackedSize);
    out += static_cast<char>(h.Method);
    putInt32(out, h.Checksum);
    putInt32(out, h.LockMode);
    return out;
}

MemberHeader decodeMemberHeader(const unsigned char* bytes) {
    MemberHeader h;
    h.NameLength = static_cast<int16_t>(uint16_t(bytes[0]) | uint16_t(bytes[1]) << 8);
    h.ExpandedSize = getInt32(bytes + 8);
    h.PackedSize = getInt32(bytes + 12);
    h.Method = bytes[16];
    h.Checksum = getInt32(bytes + 17);
    h.LockMode = getInt32(bytes + 21);
    return h;
}
