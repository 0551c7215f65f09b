// Exceptions of the content archive and of content access. Each carries a
// fixed English message; the application's handler shows it to the user.
#pragma once

#include <stdexcept>
#include <string>

// Base of every error the program raises on purpose.
class ELunvareth : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file could not be opened: "Cannot open file "<path>". <reason>"
class EFOpenError : public ELunvareth {
public:
    EFOpenError(const std::string& path, const std::string& reason)
        : ELunvareth("Cannot open file \"" + path + "\". " + reason) {}
};

class EInvalidHeader : public ELunvareth {
public:
    EInvalidHeader() : ELunvareth("Can't recognize compressed file header") {}
};

class EInvalidHeaderArchiveType : public ELunvareth {
public:
    EInvalidHeaderArchiveType() : ELunvareth("Archive type must be caMulti") {}
};

class EUnrecognizedCompressionMethod : public ELunvareth {
public:
    explicit EUnrecognizedCompressionMethod(const std::string& id)
        : ELunvareth("Unrecognized compression method: \"" + id + "\" in header") {}
};

class EBadChecksum : public ELunvareth {
public:
    EBadChecksum() : ELunvareth("Bad checksum during expansion -- data may be invalid") {}
};

class EInvalidKey : public ELunvareth {
public:
    EInvalidKey() : ELunvareth("File locked -- valid key required") {}
};

class ELZHBadDecodeTable : public ELunvareth {
public:
    ELZHBadDecodeTable() : ELunvareth("Bad decode table in archive!") {}
};

class EUnableToCompress : public ELunvareth {
public:
    EUnableToCompress() : ELunvareth("Could not compress data") {}
};

// A member header that cannot be part of a sound archive (negative sizes,
// absurd lengths, a method nobody can decode).
class EDamagedArchive : public ELunvareth {
public:
    EDamagedArchive() : ELunvareth("The archive is damaged and cannot be read") {}
};
