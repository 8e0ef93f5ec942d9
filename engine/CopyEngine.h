// The copy engine: installs the items of the selected groups from the
// install media, member by member through a temporary file beside the
// destination, decides by the version rule whether an existing copy is
// replaced, records every file, counts shared files and fills in target paths.
// It reports to its page through CopyView (page 108 in the program, a
// recording view in tests).
#pragma once
#include "archive/ArchiveReader.h"
#include "archive/MemberFile.h"
#include "engine/IntervalGate.h"
#include "engine/profile/ProfileStore.h"
#include "engine/profile/ProfileTables.h"

#include <cstdint>
#include <map>
#include <string>

class SetupContext;

class CopyView {
public:
    virtual ~CopyView() = default;
    // Text 1008: the item being installed.
    virtual void ShowItem(const std::string& fileName) = 0;
    virtual void SetGaugeRange(int64_t min, int64_t max) = 0;
    // At every block: gauge position, "%s (%d%%)" for text 1009, the
    // billboard count (done bytes plus bytes of the member in hand).
    virtual void ShowProgress(int64_t gaugePosition, const std::string& destinationText, uint64_t byteCount) = 0;
    // True once after the user pressed Cancel.
    virtual bool TakeCancelRequest() = 0;
    // The page's cancel question: true = leave.
    virtual bool ConfirmLeave() = 0;
};

class CopyEngine;

// One archive item's file on the media: the archive reader whose progress
// hook is the copy engine's progress step and whose next-volume hook asks the
// media for the following diskette.
class ArchiveItemFile : public archive::ArchiveReader {
public:
    ArchiveItemFile(CopyEngine& engine, const ArchiveItem& item);
    const ArchiveItem& Item() const { return item_; }

private:
    CopyEngine& engine_;
    ArchiveItem item_;
    int diskette_;
};

// One member on its way to its destination.
class InstallMember : public archive::MemberFile {
public:
    explicit InstallMember(ArchiveItemFile& owner) : owner_(owner) {}
    ArchiveItemFile& Owner() const { return owner_; }
    void WriteData(const void* buffer, std::size_t count) override;
    uint64_t Written() const { return written_; }
    void ResetWritten() { written_ = 0; }

    std::string FinalPath;
    std::string TempPath;
    int32_t Placed = 0;
    int32_t Replaced = 0;

private:
    ArchiveItemFile& owner_;
    uint64_t written_ = 0;
};

class CopyEngine {
public:
    CopyEngine(SetupContext& app, CopyView& view);
    ~CopyEngine(); // ends the copy journal
    CopyEngine(const CopyEngine&) = delete;
    CopyEngine& operator=(const CopyEngine&) = delete;

    // Sum of Size over the items of selected groups (the gauge's range).
    uint64_t SelectedBytes() const;
    // Step 1 of the run: gauge range 1..total, position 0, DoneBytes 0.
    void Begin();
    // Walks ArchiveList; false when a failure or a cancel stopped it.
    bool InstallItems();
    // One item, with its own error report (string 17) and continue-or-stop.
    void InstallItem(const ArchiveItem& item);
    // Members for this destination go to `directory` instead of the table's.
    void RedirectDestination(int16_t id, const std::string& directory);
    // One member of an open item (skipped entirely for destination -1).
    void InstallMemberFile(ArchiveItemFile& file, InstallMember& member);

    // The progress step; false asks the reader to abort.
    bool ProgressStep(InstallMember& member);
    uint64_t DoneBytes = 0;

private:
    friend class ArchiveItemFile;
    void InstallItemBody(const ArchiveItem& item);
    void PlaceMember(InstallMember& member, int16_t destinationId, const std::string& groupName);
    void WriteRecordLines();

    SetupContext& app_;
    CopyView& view_;
    InstallMember* current_ = nullptr;
    std::map<int16_t, std::string> redirected_;
    int64_t gaugeMax_ = 1;
    IntervalGate pumpGate_{10};
    // Record lines of placed files, by group, written at the end of each item
    // and at least every half second: a line at a time costs more under Wine
    // than installing a small file, and a killed setup loses half a second's
    // lines at most.
    std::map<std::string, ProfileStore::Entries> pendingRecord_;
    IntervalGate recordGate_{500};
};
