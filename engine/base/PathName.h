// PathName: the one value type for file names. Splits a path into drive,
// directory, name and extension and rebuilds it after a part changes.
//
// Drive: a letter (without colon), or for a network path "\\server\share".
// Directory: as handed out, without its trailing backslash, except a lone "\".
// Extension: without its dot.
//
// The splitting is platform-free (PathName.cpp); the file-system questions
// are Win32 (PathNameWin32.cpp) and exist only in the Win32 build.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class PathName {
public:
    enum Kind {
        kCurrentDirectory = 0,
        kWindowsDirectory = 1,
        kSystemDirectory = 2,
        kProgramDirectory = 3,
        kTempDirectory = 4
    };

    PathName() = default;
    explicit PathName(const std::string& text) { Set(text); }
    explicit PathName(Kind kind); // Win32
    PathName(const PathName& other) : drive_(other.drive_), dir_(other.dir_), name_(other.name_), ext_(other.ext_) {}
    PathName& operator=(const PathName& other);
    PathName(PathName&&) = default;
    PathName& operator=(PathName&&) = default;
    ~PathName();

    void Set(const std::string& text);
    std::string Text() const;
    bool Empty() const { return drive_.empty() && dir_.empty() && name_.empty() && ext_.empty(); }
    bool IsNetwork() const { return drive_.size() > 1; }

    const std::string& Drive() const { return drive_; }
    std::string DirectoryOnly() const;      // "\dir" (or "\"), no drive
    std::string Directory() const;          // "C:\dir", "\\srv\share\dir"; empty without a drive
    std::string DirectoryWithSlash() const; // drive and directory as stored, ending in "\"
    std::string FileName() const;           // "name.ext" or "name"
    const std::string& Name() const { return name_; }
    const std::string& Extension() const { return ext_; }

    void SetDirectory(const std::string& text);
    void SetDrive(char letter);
    void SetDirectoryKeepDrive(const std::string& text);
    void SetName(const std::string& text);
    void SetExtension(const std::string& text);
    void SetFileName(const std::string& text);
    void AppendDirectory(const std::string& text);
    void ClearDirectoryAndFile();

    // ---- Win32 only ---------------------------------------------------------
    void SetToModuleFileName();
    bool Exists() const;
    // The 8.3 form of the path (every part must exist); empty when the
    // system cannot give one.
    std::string ShortText() const;
    bool Delete() const;
    // Another program has the file open (or loaded) without sharing it. Windows
    // 95 deletes such a file anyway, so a delete that must not pull a file
    // from under a running program asks first.
    bool HeldOpen() const;
    bool MoveTo(const std::string& newName) const;
    int64_t ModificationTime() const;
    // What the directory entry says of an existing file or directory (also
    // of a file another program holds open); false with the system's last
    // error when there is none.
    struct Facts {
        uint32_t attributes = 0;
        uint64_t size = 0;
        int64_t modified = 0; // seconds since 1970, 0 before it
    };
    bool GetFacts(Facts& facts) const;
    bool EnterDirectory() const;
    bool RemoveEmptyDirectory() const;
    bool MakeDirectories(bool recursive) const;
    void MakeDirectoriesOrFail(bool recursive) const;
    unsigned DriveType() const;
    bool IsRemovable() const { return DriveType() == 2; }
    bool MakeUniqueName(bool check, int tries);
    bool MakeUniqueNameWithPrefix(bool check, int tries);
    bool FindFirst(uint32_t filter);
    bool FindNext();
    bool HasSubdirectories() const;

    // Open enumeration state; the Win32 side derives from it.
    struct FindState {
        virtual ~FindState() = default;
    };

private:
    void Rebuild(const std::string& text) { Set(text); }

    std::string drive_; // "C" or "\\srv\share"
    std::string dir_;   // as written: "\dir\", "\", "dir\" or empty
    std::string name_;
    std::string ext_;
    bool hasDot_ = false; // "name." keeps its dot

    uint32_t filter_ = 0;
    std::string findDir_; // directory the enumeration walks
    std::unique_ptr<FindState> find_;
};

// Eight hexadecimal characters from five run-time random numbers ("%.4x" each,
// first eight characters kept).
std::string RandomHexName(int (*random)());

// A path whose file name is such a random name, with at most one extension:
// the names the copy engine gives temporary files and set-aside copies.
bool IsRandomFileName(std::string_view path);

// The directory with a backslash appended unless it already ends in one. In a
// double-byte code page a final 0x5C may be the second byte of a character:
// that is no backslash, so one is added. `isLeadByte` is the code page's
// lead-byte test (IsDBCSLeadByte on Win32).
std::string WithTrailingBackslash(const std::string& directory, bool (*isLeadByte)(unsigned char));
