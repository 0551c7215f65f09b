// Helpers for the archive tests: hand-made archives with any header values,
// and extraction from memory.
#pragma once

#include "archive/compress.h"
#include "archive/format.h"
#include "archive/stream.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct RawMember {
    std::string name;
    std::string stored;
    int32_t expandedSize = 0;
    uint8_t method = methodNON;
    int32_t checksum = 0;
    int32_t lockMode = 0;
    std::optional<int16_t> nameLength; // default: the name's length
    std::optional<int32_t> packedSize; // default: the stored data's length
};

inline uint32_t byteSumOf(const std::string& s) {
    uint32_t sum = 0;
    for (unsigned char c : s)
        sum += c;
    return sum;
}

// An open member stored with method 0.
inline RawMember storedMember(const std::string& name, const std::string& data) {
    RawMember m;
    m.name = name;
    m.stored = data;
    m.expandedSize = static_cast<int32_t>(data.size());
    m.checksum = static_cast<int32_t>(byteSumOf(data));
    return m;
}

// An archive; TotalSize defaults to the sum of the expanded sizes.
inline std::string rawArchive(const std::vector<RawMember>& members,
                              const std::string& methodId = "NON",
                              std::optional<int32_t> totalSize = {}, uint8_t archiveType = 1) {
    ArchiveHeader header;
    header.MethodID = methodId;
    header.ArchiveType = archiveType;
    int32_t total = 0;
    for (const auto& m : members)
        total += m.expandedSize;
    header.TotalSize = totalSize.value_or(total);
    std::string out = encodeArchiveHeader(header);
    for (const auto& m : members) {
        MemberHeader h;
        h.NameLength = m.nameLength.value_or(static_cast<int16_t>(m.name.size()));
        h.ExpandedSize = m.expandedSize;
        h.PackedSize = m.packedSize.value_or(static_cast<int32_t>(m.stored.size()));
        h.Method = m.method;
        h.Checksum = m.checksum;
        h.LockMode = m.lockMode;
        out += encodeMemberHeader(h) + m.name + m.stored;
    }
    return out;
}

// Extracts name from an archive held in memory, appending to out.
inline void extractInto(TCompress& reader, const std::string& archive, const std::string& name,
                        TMemoryStream& out) {
    TMemoryStream stream(archive);
    reader.ExtractMember(stream, name, out);
}

inline std::string extract(TCompress& reader, const std::string& archive, const std::string& name) {
    TMemoryStream out;
    extractInto(reader, archive, name, out);
    return out.bytes();
}

inline std::string extract(const std::string& archive, const std::string& name, int32_t key = 0) {
    TCompress reader;
    reader.Key = key;
    return extract(reader, archive, name);
}

inline std::string bytesOf(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s += static_cast<char>(v);
    return s;
}
