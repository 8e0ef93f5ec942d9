#include "archive/ArchiveReader.h"

#include "engine/base/XException.h"
#include "framework/Exceptions.h"

#include <algorithm>
#include <cstring>

namespace archive {

ArchiveReader::ArchiveReader(FileSystem& fs) : MultiFile(fs, kBlockSize) {}

ArchiveReader::~ArchiveReader() = default;

void ArchiveReader::OpenAndCheck(const std::string& path)
{
    OpenVolume(path);
    uint8_t head[kArchiveHeaderSize];
    if (ReadPlain(head, sizeof head) < sizeof head) throw fw::FileException(fw::kFileEndOfFile, path);
    if (std::memcmp(head, "mflh", 4) != 0) throw CMultiFileException(kMfNotArchive);
}

void ArchiveReader::Open(const std::string& path)
{
    OpenAndCheck(path);
    firstMember_ = kArchiveHeaderSize;
}

bool ArchiveReader::NextMember(MemberFile& member, bool seek)
{
    if (seek) SeekPlain(member.position);
    if (ReadPlain(member.header.raw, kMemberHeaderSize) < kMemberHeaderSize) return false;
    if (!member.header.HasSignature()) throw CMultiFileException(kMfMissingEntryHeader);
    member.position += kMemberHeaderSize + uint64_t(member.header.StoredSize());
    return true;
}

namespace {

// Points the reader at the member in hand for the duration of a data read.
struct CurrentMember {
    MemberFile*& slot;
    CurrentMember(MemberFile*& s, MemberFile& m, uint64_t& start, uint64_t position) : slot(s)
    {
        slot = &m;
        start = position;
    }
    ~CurrentMember() { slot = nullptr; }
};

} // namespace

void ArchiveReader::SkipMember(MemberFile& member)
{
    CurrentMember hold(current_, member, dataStart_, DataPosition());
    uint8_t scratch[4096];
    uint32_t left = member.header.StoredSize();
    while (left) {
        std::size_t n = ReadData(scratch, std::min<std::size_t>(left, sizeof scratch));
        if (n == 0) throw fw::FileException(fw::kFileEndOfFile, VolumePath());
        left -= static_cast<uint32_t>(n);
    }
}

void ArchiveReader::ExtractMember(MemberFile& member)
{
    const MemberHeader& h = member.header;
    std::unique_ptr<Codec> codec = CreateCodec(h.Method(), h.MethodParameter());
    if (!codec) throw CMultiFileException(kMfUnknownMethod);

    CurrentMember hold(current_, member, dataStart_, DataPosition());
    member.OpenDestination(Files());
    uint64_t start = DataPosition();
    abortRequested_ = false;
    bool aborted = false;
    try {
        struct Release {
            Codec*& slot;
            ~Release() { slot = nullptr; }
        } release{codec_};
        codec_ = codec.get();
        codec->ExpandStreams(*this, member, h.StoredSize(), h.ExpandedSize());
        aborted = codec->Aborted() || abortRequested_;
    } catch (...) {
        // Closed, so that the caller's clean-up can delete the partial file.
        member.AbandonDestination();
        // A read cut short by the abort is the cancel, not damage.
        if (abortRequested_) throw fw::UserException();
        throw;
    }
    codec.reset();
    member.CloseDestination();
    if (!member.DestinationPath().empty())
        Files().SetTimeAndAttributes(member.DestinationPath(), h.Time(), static_cast<uint8_t>(h.Attributes() & 0xFF));
    if (aborted) throw fw::UserException();
    if (h.Checksum() != 0 && h.Checksum() != member.ChecksumValue()) throw CMultiFileException(kMfCrcMismatch);

    // A codec may stop short of the stored size (a stream with padding);
    // the next header follows the whole stored data.
    uint64_t used = DataPosition() - start;
    if (used < h.StoredSize()) {
        uint8_t scratch[4096];
        uint64_t left = h.StoredSize() - used;
        while (left) {
            std::size_t n = ReadData(scratch, static_cast<std::size_t>(std::min<uint64_t>(left, sizeof scratch)));
            if (n == 0) break;
            left -= n;
        }
    }
}

void ArchiveReader::Abort()
{
    abortRequested_ = true;
    if (codec_) codec_->Abort();
}

void ArchiveReader::OnBlock()
{
    if (progress && !progress(DataPosition())) Abort();
}

bool ArchiveReader::OnVolumeEnd()
{
    CloseVolume();
    if (!current_ || !current_->header.Continues()) return true;
    if (abortRequested_) return true; // a cancelled member asks for no further diskette
    std::string next;
    if (!NextVolumeName(VolumePath(), next)) return true;
    if (locateVolume && !locateVolume(next)) return true;
    OpenAndCheck(next);
    // The next header follows the rest of this member's data.
    uint64_t read = DataPosition() - dataStart_;
    uint64_t stored = current_->header.StoredSize();
    current_->position = kArchiveHeaderSize + (stored > read ? stored - read : 0);
    return false;
}

} // namespace archive
