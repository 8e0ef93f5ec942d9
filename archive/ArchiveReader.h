// Reads a multi-file archive (ArchiveFormat.h): opens the first volume,
// walks the member headers in order and extracts members through the codec
// of their method, checking the checksum. Member data may continue into the
// next volumes: when the member in hand has its continuation flag set, the
// reader closes the volume, names the next one (last character plus one),
// lets LocateVolume find or prompt for it, opens it and checks its header.
//
// Failures: short archive header - end-of-file file exception; no "mflh" -
// CMultiFileException 2; a full header without "mfen" - 3; unknown method -
// 1; checksum mismatch - 5; a damaged name field or LZH table - 4; data that
// ends early - end-of-file file exception or a zlib exception; cancel - the
// user exception.
#pragma once
#include "archive/Codec.h"
#include "archive/MemberFile.h"
#include "archive/MultiFile.h"

#include <functional>

namespace archive {

class ArchiveReader : public MultiFile {
public:
    explicit ArchiveReader(FileSystem& fs);
    ~ArchiveReader() override;

    void Open(const std::string& path);
    // Reads the next member header into member; false at the end of the archive.
    bool NextMember(MemberFile& member, bool seek = false);
    // Expands the member into its destination and checks it.
    void ExtractMember(MemberFile& member);
    // Reads past the member's data without writing it (a member not installed).
    void SkipMember(MemberFile& member);
    // Tells the running codec to stop; extraction then raises the user exception.
    void Abort();

    // Called at every 4096 bytes of member data with the data position;
    // returning false aborts.
    std::function<bool(uint64_t)> progress;
    // Given the next volume's path and diskette step, may change the path
    // (another diskette directory) or prompt; false when it is not to be had.
    std::function<bool(std::string& path)> locateVolume;

    uint64_t FirstMemberPosition() const { return firstMember_; }

protected:
    void OnBlock() override;
    bool OnVolumeEnd() override;
    void OpenAndCheck(const std::string& path);

private:
    uint64_t firstMember_ = kArchiveHeaderSize;
    MemberFile* current_ = nullptr; // the member whose data is being read
    uint64_t dataStart_ = 0;        // data position where its data began
    Codec* codec_ = nullptr;
    bool abortRequested_ = false;
};

} // namespace archive
