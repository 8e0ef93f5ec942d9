#include "archive/MemberFile.h"

#include "engine/base/XException.h"
#include "framework/Exceptions.h"

#include <cstring>

namespace archive {

MemberFile::~MemberFile() = default;

std::string MemberFile::FileName() const
{
    std::string raw;
    if (!header.RawName(raw)) throw CMultiFileException(kMfCorruptTable);
    std::string base = MemberBaseName(raw);
    if (base.empty()) throw CMultiFileException(kMfCorruptTable);
    for (unsigned char c : base)
        if (c < 0x20 || std::strchr("*?\"<>|", c)) throw CMultiFileException(kMfCorruptTable);
    // A device's name, with any extension, opens the device instead of a file.
    if (IsDeviceName(base)) throw CMultiFileException(kMfCorruptTable);
    // The name is the install record's key: one that reads back otherwise
    // would make a removal miss or misdirect the file.
    if (!ReadsBackAsProfileKey(base)) throw CMultiFileException(kMfCorruptTable);
    return base;
}

void MemberFile::SetDestinationPath(const std::string& path)
{
    path_ = path;
    sink_ = nullptr;
}

void MemberFile::SetDestinationSink(DataSink* sink)
{
    sink_ = sink;
    path_.clear();
}

void MemberFile::OpenDestination(FileSystem& fs)
{
    checksum_.Reset();
    file_.reset();
    if (!sink_) {
        if (path_.empty()) throw fw::FileException(fw::kFileBadPath);
        file_ = fs.OpenWrite(path_);
    }
}

void MemberFile::CloseDestination()
{
    if (file_) {
        std::unique_ptr<WriteFile> f = std::move(file_);
        f->Close();
    }
}

void MemberFile::AbandonDestination() { file_.reset(); }

void MemberFile::WriteData(const void* buffer, std::size_t count)
{
    checksum_.Update(buffer, count);
    if (sink_)
        sink_->WriteData(buffer, count);
    else if (file_)
        file_->WriteData(buffer, count);
    else
        throw fw::FileException(fw::kFileInvalid, path_);
}

} // namespace archive
