// Byte streams used by the archive and the content loaders: a growable
// memory stream and a read-only file stream.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class TStream {
public:
    virtual ~TStream() = default;
    // Reads up to count bytes at the position; returns how many were read.
    virtual size_t read(void* buffer, size_t count) = 0;
    // Writes count bytes at the position (overwriting, then extending).
    virtual void write(const void* buffer, size_t count) = 0;
    virtual int64_t position() const = 0;
    virtual void setPosition(int64_t pos) = 0;
    virtual int64_t size() const = 0;
    void skip(int64_t count) { setPosition(position() + count); }
};

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::string bytes) : data_(std::move(bytes)) {}

    size_t read(void* buffer, size_t count) override;
    void write(const void* buffer, size_t count) override;
    int64_t position() const override { return pos_; }
    void setPosition(int64_t pos) override { pos_ = pos < 0 ? 0 : static_cast<size_t>(pos); }
    int64_t size() const override { return static_cast<int64_t>(data_.size()); }

    void clear() { data_.clear(); pos_ = 0; }
    const std::string& bytes() const { return data_; }
    std::string& bytes() { return data_; }

private:
    std::string data_;
    size_t pos_ = 0;
};

// Opens a file for reading, shared with other readers. Throws EFOpenError.
class TFileStream : public TStream {
public:
    explicit TFileStream(const std::string& path);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    size_t read(void* buffer, size_t count) override;
    void write(const void* buffer, size_t count) override;  // throws: read-only
    int64_t position() const override;
    void setPosition(int64_t pos) override;
    int64_t size() const override { return size_; }

private:
    std::FILE* file_ = nullptr;
    int64_t size_ = 0;
};

// Reads a whole file (throws EFOpenError with the path and the system's reason).
std::string readWholeFile(const std::string& path);
