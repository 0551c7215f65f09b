// libFuzzer target for the archive reader. The first input byte chooses the
// reader's settings, the rest is the archive:
//   bit 0  Key = the program's key (else 0)
//   bit 1  the progress handler aborts every run
//   bit 2  an OnExpand handler for method 3 (copies its stored bytes)
// Every member is expanded, then ExtractMember runs once for the name "a".
#include "archive/compress.h"
#include "archive/errors.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

struct SinkFull {};

// Keeps nothing; stops a run after 64 KiB so that members announcing
// hundreds of megabytes do not slow the search down.
class BoundedSink : public TStream {
public:
    size_t read(void*, size_t) override { return 0; }
    void write(const void*, size_t count) override {
        size_ += static_cast<int64_t>(count);
        if (size_ > (64 << 10))
            throw SinkFull();
    }
    int64_t position() const override { return size_; }
    void setPosition(int64_t) override {}
    int64_t size() const override { return size_; }

private:
    int64_t size_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const uint8_t flags = data[0];
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    TCompress reader;
    reader.Key = (flags & 1) ? 730572913 : 0;
    if (flags & 2)
        reader.OnShowProgress = [](int32_t& percent) { percent = -1; };
    if (flags & 4)
        reader.OnExpand = [](TStream& dest, TStream& source, int32_t sourceSize, int32_t,
                             const std::string&, int32_t& checksum) {
            std::string buffer(static_cast<size_t>(sourceSize < 4096 ? sourceSize : 4096), '\0');
            size_t n = source.read(buffer.data(), buffer.size());
            dest.write(buffer.data(), n);
            checksum = static_cast<int32_t>(n);
        };

    try {
        TMemoryStream archive(bytes);
        reader.ForEachMember(archive, [&](const TMemberInfo& member) {
            BoundedSink sink;
            try {
                reader.ExpandMember(archive, member, sink);
            } catch (const ELunvareth&) {
            } catch (const SinkFull&) {
            }
        });
    } catch (const ELunvareth&) {
    }
    try {
        TMemoryStream archive(bytes);
        BoundedSink sink;
        reader.ExtractMember(archive, "a", sink);
    } catch (const ELunvareth&) {
    } catch (const SinkFull&) {
    }
    return 0;
}
