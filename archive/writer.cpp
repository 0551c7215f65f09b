#include "archive/writer.h"

#include "archive/compress.h"
#include "archive/engine.h"
#include "archive/errors.h"
#include "archive/format.h"

#include <limits>
#include <stdexcept>

namespace {

uint32_t byteSum(const std::string& data) {
    uint32_t sum = 0;
    for (unsigned char c : data)
        sum += c;
    return sum;
}

} // namespace

std::string compressData(int method, const std::string& data, int32_t key) {
    TMemoryStream input(data), output;
    TCompress component;
    component.Key = key;
    const auto size = static_cast<int64_t>(data.size());
    RunMethod(TRunDirection::compress, method, input, size, output, size, false, component);
    return output.bytes();
}

TArchiveWriter::TArchiveWriter(std::string methodId, int32_t key)
    : methodId_(std::move(methodId)), key_(key) {
    bool known = false;
    for (const char* id : MethodIDs)
        known = known || methodId_ == id;
    if (!known)
        throw std::invalid_argument("unknown archive method ID \"" + methodId_ + "\"");
}

int TArchiveWriter::add(const std::string& name, const std::string& data, int method,
                        int32_t lockMode) {
    if (name.size() > static_cast<size_t>(std::numeric_limits<int16_t>::max()))
        throw std::invalid_argument("member name too long: " + name.substr(0, 40) + "...");
    if (data.size() > static_cast<size_t>(MaxExpandedSize))
        throw std::invalid_argument("member too large: " + name);
    // One more than the largest sum stays free for bytes() below.
    if (totalSize_ + static_cast<int64_t>(data.size()) >= std::numeric_limits<int32_t>::max())
        throw std::invalid_argument("archive too large at member " + name);
    if (method != methodNON && method != methodRLE && method != methodLZH && method != methodLH5)
        throw std::invalid_argument("a member cannot be written with method " +
                                    std::to_string(method));
    if (lockMode < 0 || lockMode > 2 || (lockMode > 0 && key_ == 0))
        throw std::invalid_argument("locking a member needs lock mode 1 or 2 and a key");

    MemberHeader h;
    h.NameLength = static_cast<int16_t>(name.size());
    h.ExpandedSize = static_cast<int32_t>(data.size());
    uint32_t checksum = byteSum(data);
    std::string stored;
    if (method != methodNON) {
        try {
            stored = compressData(method, data, lockMode == 2 ? key_ : 0);
        } catch (const EUnableToCompress&) {
            method = methodNON;
        }
    }
    if (method == methodNON) {
        stored = data; // stored members are never scrambled,
        lockMode = 0;  // so they are not marked locked either
    } else if (lockMode > 0) {
        checksum += static_cast<uint32_t>(key_); // only the right key passes the test
    }
    h.Method = static_cast<uint8_t>(method);
    h.PackedSize = static_cast<int32_t>(stored.size());
    h.Checksum = static_cast<int32_t>(checksum);
    h.LockMode = lockMode;

    members_ += encodeMemberHeader(h);
    members_ += name;
    members_ += stored;
    totalSize_ += h.ExpandedSize;
    lastIsEmpty_ = data.empty();
    return method;
}

std::string TArchiveWriter::bytes() const {
    ArchiveHeader header;
    header.MethodID = methodId_;
    // The reader stops as soon as the sizes it has passed reach TotalSize, so
    // empty members after the last non-empty one would never be found: a
    // TotalSize one above the sum lets the scan run on to the end of the file.
    header.TotalSize = static_cast<int32_t>(totalSize_ + (lastIsEmpty_ ? 1 : 0));
    header.ArchiveLock = key_ > 0 ? 2 : 0;
    return encodeArchiveHeader(header) + members_;
}
