#include "archive/VolumeWriter.h"

#include "archive/Checksum.h"
#include "archive/Codec.h"
#include "archive/MemoryFileSystem.h"

#include <algorithm>

namespace archive {

std::vector<uint8_t> CompressBytes(const uint8_t* data, std::size_t size, int32_t method)
{
    std::unique_ptr<Codec> codec = CreateCodec(method, 0);
    if (!codec) return {};
    std::vector<uint8_t> out;
    MemorySource in(data, size);
    VectorSink sink(out);
    codec->CompressStreams(in, sink);
    return out;
}

PackedMember PackMember(const uint8_t* data, std::size_t size, int32_t method)
{
    PackedMember m;
    m.header.Init();
    m.stored = CompressBytes(data, size, method);
    m.header.SetMethod(method);
    m.header.SetExpandedSize(static_cast<uint32_t>(size));
    m.header.SetStoredSize(static_cast<uint32_t>(m.stored.size()));
    m.header.SetChecksum(Checksum::Of(data, size));
    return m;
}

VolumePlan::VolumePlan(const std::vector<uint64_t>& storedSizes)
{
    for (uint64_t s : storedSizes) {
        total_ += kMemberHeaderSize;
        dataStart_.push_back(total_);
        total_ += s;
        dataEnd_.push_back(total_);
    }
}

bool VolumePlan::LargestBreak(uint64_t from, uint64_t limit, uint64_t& at) const
{
    // The last record whose data starts at or before the limit, then back.
    auto it = std::upper_bound(dataStart_.begin(), dataStart_.end(), limit);
    for (std::size_t j = static_cast<std::size_t>(it - dataStart_.begin()); j-- > 0;) {
        if (dataEnd_[j] <= from) return false;
        if (dataEnd_[j] == dataStart_[j]) continue; // no data to carry over
        uint64_t p = std::min(limit, dataEnd_[j] - 1);
        if (p > from) {
            at = p;
            return true;
        }
    }
    return false;
}

bool VolumePlan::Plan(const std::function<uint64_t(std::size_t)>& capacity, std::vector<uint64_t>& breaks) const
{
    breaks.clear();
    uint64_t from = 0;
    for (std::size_t k = 0;; ++k) {
        uint64_t cap = capacity(k);
        uint64_t room = cap > kArchiveHeaderSize ? cap - kArchiveHeaderSize : 0;
        if (total_ - from <= room) return true;
        uint64_t at;
        if (!LargestBreak(from, from + room, at)) return false;
        breaks.push_back(at);
        from = at;
    }
}

std::vector<uint64_t> WriteVolumes(std::vector<PackedMember>& members, const std::vector<uint64_t>& breaks,
                                   const std::function<std::unique_ptr<WriteFile>(std::size_t)>& open)
{
    // Continuation flags first: a member whose data holds a break.
    uint64_t pos = 0;
    for (PackedMember& m : members) {
        uint64_t start = pos + kMemberHeaderSize, end = start + m.stored.size();
        bool spans = std::any_of(breaks.begin(), breaks.end(), [&](uint64_t b) { return b >= start && b < end; });
        m.header.SetContinues(spans);
        pos = end;
    }

    std::vector<uint64_t> sizes;
    std::size_t volume = 0;
    std::unique_ptr<WriteFile> file;
    uint64_t stream = 0; // stream position
    uint64_t nextBreak = breaks.empty() ? UINT64_MAX : breaks[0];
    auto begin = [&] {
        file = open(volume);
        uint8_t head[kArchiveHeaderSize];
        WriteArchiveHeader(head);
        file->WriteData(head, sizeof head);
        sizes.push_back(kArchiveHeaderSize);
    };
    auto put = [&](const uint8_t* p, uint64_t n) {
        while (n) {
            if (stream == nextBreak) {
                file->Close();
                ++volume;
                nextBreak = volume < breaks.size() ? breaks[volume] : UINT64_MAX;
                begin();
            }
            uint64_t k = std::min(n, nextBreak - stream);
            file->WriteData(p, static_cast<std::size_t>(k));
            sizes.back() += k;
            p += k;
            n -= k;
            stream += k;
        }
    };
    begin();
    for (PackedMember& m : members) {
        put(m.header.raw, kMemberHeaderSize);
        put(m.stored.data(), m.stored.size());
    }
    file->Close();
    return sizes;
}

} // namespace archive
