#include "archive/Extractor.h"

namespace archive {

ExtractResult ExtractArchive(FileSystem& fs, const std::string& firstVolume, const ExtractOptions& options)
{
    ArchiveReader reader(fs);
    reader.progress = options.progress;
    reader.locateVolume = options.locateVolume;
    reader.Open(firstVolume);
    ExtractResult result;
    MemberFile member;
    while (reader.NextMember(member)) {
        std::string dir;
        int16_t id = member.header.DestinationId();
        bool install = id != -1 && (!options.destination || options.destination(id, dir)) &&
            (!options.select || options.select(member));
        if (!install) {
            // Read past its data so that the next header is found where it is.
            reader.SkipMember(member);
            ++result.skipped;
            continue;
        }
        std::string path = JoinPath(fs, dir, member.FileName());
        member.SetDestinationPath(path);
        reader.ExtractMember(member);
        ++result.extracted;
        result.bytes += member.header.ExpandedSize();
        if (options.extracted) options.extracted(member, path);
    }
    return result;
}

void ListArchive(FileSystem& fs, const std::string& firstVolume, const std::function<void(const MemberFile&)>& visit,
                 const std::function<bool(std::string&)>& locateVolume)
{
    ArchiveReader reader(fs);
    reader.locateVolume = locateVolume;
    reader.Open(firstVolume);
    MemberFile member;
    while (reader.NextMember(member)) {
        visit(member);
        reader.SkipMember(member);
    }
}

} // namespace archive
