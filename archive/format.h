// On-disk layout of an .hhz archive: a 21-byte archive header, then members,
// each a 25-byte member header, its name and its stored data. All integers are
// little-endian two's complement.
#pragma once

#include <cstdint>
#include <string>

constexpr int ArchiveHeaderSize = 21;
constexpr int MemberHeaderSize = 25;
constexpr char ArchiveSignature[5] = {'Z', 'E', 'L', 'K', '\x1A'};
constexpr uint8_t caMulti = 1;

// Member methods; the value is the index of the method ID in MethodIDs.
enum : uint8_t { methodNON = 0, methodRLE = 1, methodLZH = 2, methodCUS = 3, methodLH5 = 4 };
constexpr int MethodCount = 5;
extern const char* const MethodIDs[MethodCount];

// Largest member we agree to expand; anything above is a damaged header.
constexpr int32_t MaxExpandedSize = 256 * 1024 * 1024;

struct ArchiveHeader {
    std::string MethodID = "NON"; // three characters
    int32_t TotalSize = 0;
    uint8_t ArchiveType = caMulti;
    int32_t Reserved = 0;
    int32_t ArchiveLock = 0;
};

struct MemberHeader {
    int16_t NameLength = 0;
    int32_t ExpandedSize = 0;
    int32_t PackedSize = 0;
    uint8_t Method = methodNON;
    int32_t Checksum = 0;
    int32_t LockMode = 0;
};

// The signature is not part of ArchiveHeader: encode writes it, decode
// leaves checking it to the caller.
std::string encodeArchiveHeader(const ArchiveHeader& h);
ArchiveHeader decodeArchiveHeader(const unsigned char* bytes);
std::string encodeMemberHeader(const MemberHeader& h);
MemberHeader decodeMemberHeader(const unsigned char* bytes);
