// Building .hhz archives (used by our tools and tests; the program itself
// only reads them).
#pragma once

#include <cstdint>
#include <string>

// Compresses data with method 1, 2 or 4. With a non-zero key the stored
// bytes are scrambled with it. Throws EUnableToCompress when the stored form
// would be larger than data.
std::string compressData(int method, const std::string& data, int32_t key);

class TArchiveWriter {
public:
    // methodId goes into the archive header ("NON", "RLE", "LZH", "CUS" or
    // "LH5"); key locks the members added with a lock mode above 0.
    TArchiveWriter(std::string methodId, int32_t key);

    // Adds a member stored with method (0, 1, 2 or 4) and lockMode (0, 1 or
    // 2; 2 also scrambles the stored data). A member that the method cannot
    // shrink is stored as is (method 0, open). Returns the method used.
    int add(const std::string& name, const std::string& data, int method, int32_t lockMode);

    // The complete archive so far.
    std::string bytes() const;

private:
    std::string methodId_;
    int32_t key_;
    int64_t totalSize_ = 0;
    bool lastIsEmpty_ = false;
    std::string members_;
};
