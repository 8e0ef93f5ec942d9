#include "engine/CopyEngine.h"

#include "config/placement/FilePlacement.h"
#include "config/log/InstallLog.h"
#include "engine/journal/CopyJournal.h"
#include "engine/journal/UndoLog.h"
#include "engine/CopyProgress.h"
#include "engine/ErrorReport.h"
#include "engine/Media.h"
#include "engine/SetupContext.h"
#include "engine/SystemHelpers.h"
#include "engine/SystemRegistry.h"
#include "archive/Win32FileSystem.h"
#include "engine/profile/Destinations.h"
#include "engine/profile/InstallRecord.h"
#include "engine/profile/ProfileFileWin32.h"
#include "engine/profile/ProfileLoaders.h"
#include "framework/Exceptions.h"
#include "resources/ids.h"

#include <windows.h>

#include <algorithm>

namespace {

constexpr uint32_t kItemBlockSize = 4096;

bool IsSelected(const ArchiveItem& item) { return item.OwnerGroup && item.OwnerGroup->Selected; }

// Deletes the temporary file of a member that did not make it.
struct TempFileGuard {
    const std::string& path;
    bool armed = true;
    ~TempFileGuard()
    {
        if (armed && !path.empty()) {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
    }
};

} // namespace

ArchiveItemFile::ArchiveItemFile(CopyEngine& engine, const ArchiveItem& item)
    : archive::ArchiveReader(archive::Win32FileSystem()), engine_(engine), item_(item), diskette_(item.Diskette)
{
    progress = [this](uint64_t) { return engine_.current_ ? engine_.ProgressStep(*engine_.current_) : true; };
    locateVolume = [this](std::string& path) {
        PathName next(path);
        ++diskette_;
        SetupContext& setup = engine_.app_;
        if (setup.StopRequested()) return false; // cancelled: no diskette prompt
        if (!EnsureMediaFile(next.FileName(), diskette_)) {
            setup.SetupFailed = 1;
            return false;
        }
        PathName found = setup.SourcePath;
        found.SetFileName(next.FileName());
        path = found.Text();
        return true;
    };
}

void InstallMember::WriteData(const void* buffer, std::size_t count)
{
    archive::MemberFile::WriteData(buffer, count);
    written_ += count;
}

CopyEngine::CopyEngine(SetupContext& app, CopyView& view) : app_(app), view_(view) {}

CopyEngine::~CopyEngine() { copyjournal::Close(); }

void CopyEngine::RedirectDestination(int16_t id, const std::string& directory) { redirected_[id] = directory; }

uint64_t CopyEngine::SelectedBytes() const
{
    uint64_t total = 0;
    for (const ArchiveItem& item : app_.ArchiveList)
        if (IsSelected(item) && item.Size > 0) total += static_cast<uint64_t>(item.Size);
    return total;
}

void CopyEngine::Begin()
{
    uint64_t total = SelectedBytes();
    gaugeMax_ = total > 0 ? static_cast<int64_t>(total) : 1;
    view_.SetGaugeRange(1, gaugeMax_);
    DoneBytes = 0;
}

bool CopyEngine::InstallItems()
{
    for (const ArchiveItem& item : app_.ArchiveList) {
        if (app_.StopRequested()) return false;
        if (!IsSelected(item)) continue;
        view_.ShowItem(item.FileName);
        InstallItem(item);
    }
    return !app_.StopRequested();
}

void CopyEngine::InstallItem(const ArchiveItem& item)
{
    try {
        InstallItemBody(item);
        WriteRecordLines();
    } catch (...) {
        std::unique_ptr<CXException> e = ConvertCurrentException();
        current_ = nullptr;
        WriteRecordLines(); // the files placed so far are recorded before anyone is asked
        const bool goOn = ReportError(IDS_CANNOT_INSTALL_FILES, e.get(), item.FileName.c_str());
        app_.NoteSkippedItem(item.FileName, app_.FailureReason()); // the report just noted
        if (!goOn) app_.SetupFailed = 1;
    }
}

void CopyEngine::InstallItemBody(const ArchiveItem& item)
{
    if (!EnsureMediaFile(item.FileName, item.Diskette)) {
        app_.NoteSkippedItem(item.FileName, "Cannot find '" + item.FileName + "' on the media");
        app_.SetupFailed = 1;
        return;
    }
    PathName mediaPath = app_.SourcePath;
    mediaPath.SetFileName(item.FileName);
    const std::string groupName = item.OwnerGroup ? item.OwnerGroup->Name : std::string();

    if (item.Kind == 0) {
        if (item.DestinationId == -1) {
            DoneBytes += item.Size > 0 ? static_cast<uint64_t>(item.Size) : 0;
            return;
        }
        ArchiveItemFile file(*this, item);
        file.OpenVolume(mediaPath.Text());
        InstallMember member(file);
        archive::MemberHeader& h = member.header;
        h.Init();
        h.SetName(item.FileName);
        PathName::Facts found;
        if (!mediaPath.GetFacts(found))
            throw fw::FileException(fw::FileException::CauseFromOsError(GetLastError()), mediaPath.Text());
        h.SetTime(static_cast<int32_t>(found.modified));
        h.SetAttributes(static_cast<uint16_t>(found.attributes & 0x27));
        // The whole file is installed, whatever the profile says: a Size that
        // disagrees would install a cut or an empty file.
        if (found.size > 0xFFFFFFFFu) throw fw::FileException(fw::kFileInvalid, mediaPath.Text());
        const uint32_t size = static_cast<uint32_t>(found.size);
        if (item.Size != static_cast<int64_t>(size))
            LogMessage("%s: %u bytes on the media, %lld in the profile", item.FileName.c_str(), size,
                       static_cast<long long>(item.Size));
        h.SetExpandedSize(size);
        h.SetStoredSize(size);
        h.SetChecksum(0);
        h.SetMethod(archive::kMethodStored);
        h.SetDestinationId(item.DestinationId);
        h.SetContinues(false);
        InstallMemberFile(file, member);
        DoneBytes += h.ExpandedSize();
        return;
    }
    if (item.Kind != 1) return;

    ArchiveItemFile file(*this, item);
    file.Open(mediaPath.Text());
    for (;;) {
        if (pumpGate_.Due(GetTickCount())) ProcessPendingMessages();
        if (app_.StopRequested()) return;
        InstallMember member(file);
        if (!file.NextMember(member, false)) break;
        InstallMemberFile(file, member);
        DoneBytes += member.header.ExpandedSize();
    }
}

void CopyEngine::InstallMemberFile(ArchiveItemFile& file, InstallMember& member)
{
    const int16_t id = member.header.DestinationId();
    if (id == -1) {
        file.SkipMember(member);
        return;
    }
    std::string name = member.FileName(); // CMultiFileException 4 for a damaged name
    auto redirected = redirected_.find(id);
    std::string directory =
        redirected != redirected_.end() ? redirected->second : DestinationPath(app_.DestinationTable, id);
    if (directory.empty()) throw fw::FileException(fw::kFileBadPath, name);
    PathName dir;
    dir.SetDirectory(directory);
    if (!undojournal::RecordDirectories(directory)) throw fw::FileException(fw::kFileHardIo, directory);
    dir.MakeDirectoriesOrFail(true);

    PathName finalPath = dir;
    finalPath.SetFileName(name);
    member.FinalPath = finalPath.Text();
    PathName temp = finalPath;
    if (!temp.MakeUniqueName(true, 1000)) throw fw::FileException(fw::kFileDirectoryFull, member.FinalPath);
    member.TempPath = temp.Text();

    // Named in the journal before it exists, until it is placed or gone:
    // a setup killed in between has it deleted at its next start.
    copyjournal::Track(member.TempPath);
    // Not there yet: a failed run deletes it, also when it waits for the restart.
    if (!undojournal::RecordFile(member.TempPath)) throw fw::FileException(fw::kFileHardIo, member.TempPath);
    struct FinishJournal {
        ~FinishJournal() { copyjournal::Finish(); }
    } finishJournal;
    TempFileGuard guard{member.TempPath};
    member.SetDestinationPath(member.TempPath);
    member.ResetWritten();
    current_ = &member;
    struct ClearCurrent {
        InstallMember*& slot;
        ~ClearCurrent() { slot = nullptr; }
    } clear{current_};
    file.ExtractMember(member);
    guard.armed = false; // from here the placement owns the temporary file

    PlaceMember(member, id, file.Item().OwnerGroup ? file.Item().OwnerGroup->Name : std::string());
}

void CopyEngine::PlaceMember(InstallMember& member, int16_t id, const std::string& groupName)
{
    FileEntry entry;
    entry.DestinationId = id;
    entry.DestinationPath = member.FinalPath;
    entry.TempPath = member.TempPath;
    entry.Rule = member.header.Rule();
    PlaceFile(entry);
    member.Placed = entry.Placed;
    member.Replaced = entry.Replaced;

    PathName finalPath(member.FinalPath);
    pendingRecord_[groupName].push_back(
        InstalledFileLine(finalPath.FileName(), id, member.Placed != 0, member.Replaced != 0));
    if (recordGate_.Due(GetTickCount())) WriteRecordLines();
    // The old copy stays and is recorded as kept; the item reports why.
    if (entry.ErrorCause != 0) throw fw::FileException(entry.ErrorCause, member.FinalPath);
    if (id == -3) {
        SharedDllCount count(member.FinalPath);
        count.Increment();
    }
    if (Target* target = FindTarget(app_.TargetTable, finalPath.FileName())) target->Path = finalPath;
}

void CopyEngine::WriteRecordLines()
{
    if (pendingRecord_.empty()) return;
    // A failed run takes the install record back too (noted once).
    if (!undojournal::RecordFile(app_.RecordPath.Text())) return;
    PrivateProfileFile record(app_.RecordPath.Text());
    for (const auto& [group, lines] : pendingRecord_) record.WriteStrings(group.c_str(), lines);
    pendingRecord_.clear();
}

bool CopyEngine::ProgressStep(InstallMember& member)
{
    if (app_.StopRequested()) return true;
    if (pumpGate_.Due(GetTickCount())) ProcessPendingMessages();
    if (view_.TakeCancelRequest()) {
        if (view_.ConfirmLeave()) {
            app_.Cancelled = 1;
            return false; // the reader aborts the decompressor
        }
    }
    uint64_t count = DoneBytes + member.Written();
    int64_t position = std::min<int64_t>(std::max<int64_t>(static_cast<int64_t>(count), 1), gaugeMax_);
    view_.ShowProgress(position, MemberProgressText(member.FinalPath, member.Written(), member.header.ExpandedSize()),
                       count);
    return true;
}
