// Walks the drive letters A to Z.
#pragma once
#include <string>

class DriveIterator {
public:
    // Advance to the next drive whose type is not unknown (0); false, with the
    // index restored, after Z.
    bool Next();
    // Advance to the next drive of this type (DRIVE_FIXED is 3).
    bool FindType(unsigned type);
    bool FirstFixedDisk() { return FindType(3); }
    char Letter() const { return static_cast<char>('A' + index_); }
    // The drive's root, from the lower-case letter: "c:\".
    std::string Root() const { return std::string(1, static_cast<char>('a' + index_)) + ":\\"; }
    int Index() const { return index_; }

private:
    int index_ = -1;
};
