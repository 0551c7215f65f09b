#include "archive/compress.h"

#include "archive/engine.h"
#include "archive/errors.h"

#include <algorithm>
#include <cstring>

namespace {

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Copies up to count stored bytes; a short archive simply ends the copy.
void copyStored(TStream& from, TStream& to, int64_t count) {
    char buffer[TMethodEngine::BufferSize];
    while (count > 0) {
        auto want = static_cast<size_t>(std::min<int64_t>(count, sizeof buffer));
        size_t got = from.read(buffer, want);
        if (got == 0)
            return;
        to.write(buffer, got);
        count -= static_cast<int64_t>(got);
    }
}

// Fields that would make the scan read garbage, run backwards or allocate
// without bound.
void checkMemberHeader(const MemberHeader& h) {
    if (h.NameLength < 0 || h.PackedSize < 0 || h.ExpandedSize < 0 ||
        h.ExpandedSize > MaxExpandedSize)
        throw EDamagedArchive();
}

} // namespace

bool sameMemberName(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

void TCompress::setTargetPath(const std::string& path) {
    targetPath_ = path;
    if (!targetPath_.empty() && targetPath_.back() != '/')
        targetPath_ += '/';
}

int TCompress::MethodIndex(const std::string& id) {
    for (int i = 0; i < MethodCount; ++i)
        if (id == MethodIDs[i])
            return i;
    if (OnRecognize) {
        bool recognized = false;
        OnRecognize(id, recognized);
        if (recognized)
            return methodCUS;
    }
    throw EUnrecognizedCompressionMethod(id);
}

void TCompress::ExtractMember(const std::string& archivePath, const std::string& name,
                              TStream& dest) {
    TFileStream archive(archivePath);
    ExtractMember(archive, name, dest);
}

void TCompress::ExtractMember(TStream& archive, const std::string& name, TStream& dest) {
    ForEachMember(archive, [&](const TMemberInfo& member) {
        if (sameMemberName(member.name, name))
            ExpandMember(archive, member, dest);
    });
}

void TCompress::ForEachMember(TStream& archive,
                              const std::function<void(const TMemberInfo&)>& visit) {
    ArchiveHeader header;
    if (!ReadArchiveHeader(archive, header))
        return;
    TMemberInfo member;
    int64_t sum = 0;
    while (sum < header.TotalSize && ReadMemberHeader(archive, member)) {
        visit(member);
        // Go on after the stored data, however much of them a method used.
        archive.setPosition(member.dataOffset + member.header.PackedSize);
        sum += member.header.ExpandedSize;
    }
}

void TCompress::ExpandMember(TStream& archive, const TMemberInfo& member, TStream& dest) {
    archive.setPosition(member.dataOffset);
    ExpandMemberData(archive, member, dest);
}

// A file shorter than a header has no members: returns false.
bool TCompress::ReadArchiveHeader(TStream& archive, ArchiveHeader& header) {
    if (archive.size() - archive.position() < ArchiveHeaderSize)
        return false;
    unsigned char raw[ArchiveHeaderSize];
    if (archive.read(raw, ArchiveHeaderSize) != ArchiveHeaderSize)
        return false;
    if (std::memcmp(raw, ArchiveSignature, sizeof ArchiveSignature) != 0)
        throw EInvalidHeader();
    header = decodeArchiveHeader(raw);
    if (header.ArchiveType != caMulti)
        throw EInvalidHeaderArchiveType();
    MethodIndex(header.MethodID);
    methodId_ = header.MethodID;
    return true;
}

// False when the header or the name is cut short: the scan ends there.
bool TCompress::ReadMemberHeader(TStream& archive, TMemberInfo& member) {
    unsigned char raw[MemberHeaderSize];
    if (archive.read(raw, MemberHeaderSize) != MemberHeaderSize)
        return false;
    member.header = decodeMemberHeader(raw);
    checkMemberHeader(member.header);
    const auto length = static_cast<size_t>(member.header.NameLength);
    member.name.resize(length);
    if (archive.read(member.name.data(), length) != length)
        return false;
    member.dataOffset = archive.position();
    return true;
}

void TCompress::ExpandMemberData(TStream& archive, const TMemberInfo& member, TStream& dest) {
    const MemberHeader& h = member.header;
    if (h.Method != methodNON && h.LockMode > 0 && Key == 0)
        throw EInvalidKey();
    // Nobody could decode these, and their data would be read as the next header.
    if (h.Method > methodLH5 || (h.Method == methodCUS && !OnExpand))
        throw EDamagedArchive();

    uint32_t computed = 0;
    switch (h.Method) {
    case methodNON: // stored: copied as is, no test
        copyStored(archive, dest, h.PackedSize);
        return;
    case methodCUS: {
        int32_t checksum = 0;
        OnExpand(dest, archive, h.PackedSize, h.ExpandedSize, methodId_, checksum);
        computed = static_cast<uint32_t>(checksum);
        break;
    }
    default:
        try {
            computed = RunMethod(TRunDirection::expand, h.Method, archive, h.PackedSize, dest,
                                 h.ExpandedSize, h.LockMode == 2, *this);
        } catch (const ELZHBadDecodeTable&) {
            if (h.LockMode > 0)
                throw EInvalidKey();
            throw;
        } catch (const EDamagedArchive&) {
            if (h.LockMode == 2) // a wrong key makes garbage of scrambled data
                throw EInvalidKey();
            throw;
        }
    }

    const auto expected = static_cast<uint32_t>(h.Checksum);
    if (computed == expected)
        return;
    if (h.LockMode > 0) {
        if (static_cast<uint32_t>(Key) + computed == expected)
            return;
        throw EInvalidKey();
    }
    throw EBadChecksum();
}
