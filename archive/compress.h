// TCompress, the archive component: finds the members of a given name in an
// .hhz archive and expands them into a stream, with the key and checksum
// rules of the format.
#pragma once

#include "archive/format.h"
#include "archive/stream.h"

#include <cstdint>
#include <functional>
#include <string>

enum TCProcessMode { cmCompress, cmExpand, cmDelete };

using TCompressEvent = std::function<void(TStream& dest, TStream& source, std::string& CompressID,
                                          int32_t& Outputsize, int32_t& checksum)>;
using TExpandEvent =
    std::function<void(TStream& dest, TStream& source, int32_t Sourcesize, int32_t Destsize,
                       const std::string& CompressID, int32_t& checksum)>;
using TFilenameCheckEvent = std::function<void(std::string& filepath, TCProcessMode mode)>;
using TRecognizeEvent = std::function<void(const std::string& CompressID, bool& recognized)>;
using TShowProgressEvent = std::function<void(int32_t& PercentageDone)>;

// One member as the scan meets it.
struct TMemberInfo {
    MemberHeader header;
    std::string name;
    int64_t dataOffset = 0; // position of the first stored byte
};

// True when a and b are equal with the letters a-z and A-Z compared without case.
bool sameMemberName(const std::string& a, const std::string& b);

class TCompress {
public:
    TCompressEvent OnCompress;
    TExpandEvent OnExpand;
    TFilenameCheckEvent OnCheckFile;
    TRecognizeEvent OnRecognize;
    TShowProgressEvent OnShowProgress;
    bool MakeDirectories = false;
    bool ExceptionOnFileError = false;
    int32_t Key = 0;
    bool CheckSpaceBeforeExpand = false;

    const std::string& TargetPath() const { return targetPath_; }
    // Stores the path with a trailing '/' unless it is empty.
    void setTargetPath(const std::string& path);

    // Expands every member called name, in file order, into dest from its
    // current position. Missing members write nothing. The file is opened
    // for this call only.
    void ExtractMember(const std::string& archivePath, const std::string& name, TStream& dest);
    void ExtractMember(TStream& archive, const std::string& name, TStream& dest);

    // Walks the members of an archive under the reader's rules (header
    // checks, TotalSize stop). visit may call ExpandMember for the member it
    // is given; the scan then continues after that member's stored data.
    void ForEachMember(TStream& archive, const std::function<void(const TMemberInfo&)>& visit);
    // Expands one member met by ForEachMember into dest and tests it.
    void ExpandMember(TStream& archive, const TMemberInfo& member, TStream& dest);

    // Index 0-4 of a method ID; 3 for an ID that OnRecognize accepts.
    int MethodIndex(const std::string& id);

private:
    bool ReadArchiveHeader(TStream& archive, ArchiveHeader& header);
    bool ReadMemberHeader(TStream& archive, TMemberInfo& member);
    void ExpandMemberData(TStream& archive, const TMemberInfo& member, TStream& dest);

    std::string targetPath_;
    std::string methodId_ = "NON"; // of the archive being read
};
