#include "archive/stream.h"

#include "archive/errors.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

size_t TMemoryStream::read(void* buffer, size_t count) {
    if (pos_ >= data_.size())
        return 0;
    size_t n = std::min(count, data_.size() - pos_);
    std::memcpy(buffer, data_.data() + pos_, n);
    pos_ += n;
    return n;
}

void TMemoryStream::write(const void* buffer, size_t count) {
    if (count == 0)
        return;
    if (pos_ > data_.size())
        data_.resize(pos_, '\0');
    size_t overlap = std::min(count, data_.size() - pos_);
    std::memcpy(&data_[pos_], buffer, overlap);
    data_.append(static_cast<const char*>(buffer) + overlap, count - overlap);
    pos_ += count;
}

TFileStream::TFileStream(const std::string& path) {
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_)
        throw EFOpenError(path, std::strerror(errno));
    // A folder opens for reading but yields no bytes and a meaningless size.
    struct stat info;
    if (::fstat(::fileno(file_), &info) == 0 && S_ISDIR(info.st_mode)) {
        std::fclose(file_);
        file_ = nullptr;
        throw EFOpenError(path, std::strerror(EISDIR));
    }
    if (std::fseek(file_, 0, SEEK_END) == 0) {
        long end = std::ftell(file_);
        size_ = end < 0 ? 0 : end;
    }
    std::fseek(file_, 0, SEEK_SET);
}

TFileStream::~TFileStream() {
    if (file_)
        std::fclose(file_);
}

size_t TFileStream::read(void* buffer, size_t count) { return std::fread(buffer, 1, count, file_); }

void TFileStream::write(const void*, size_t) {
    throw std::logic_error("TFileStream is read-only");
}

int64_t TFileStream::position() const { return std::ftell(file_); }

void TFileStream::setPosition(int64_t pos) {
    std::fseek(file_, static_cast<long>(pos < 0 ? 0 : pos), SEEK_SET);
}

std::string readWholeFile(const std::string& path) {
    TFileStream f(path);
    std::string out(static_cast<size_t>(f.size()), '\0');
    size_t n = f.read(out.data(), out.size());
    out.resize(n);
    return out;
}
