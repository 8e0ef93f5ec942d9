#include "engine/DriveIterator.h"

#include "engine/SystemHelpers.h"

#include <windows.h>

bool DriveIterator::Next()
{
    QuietDriveProbe quiet;
    int start = index_;
    while (index_ < 25) {
        ++index_;
        if (GetDriveTypeA(Root().c_str()) != DRIVE_UNKNOWN) return true;
    }
    index_ = start;
    return false;
}

bool DriveIterator::FindType(unsigned type)
{
    QuietDriveProbe quiet;
    int start = index_;
    while (Next())
        if (GetDriveTypeA(Root().c_str()) == type) return true;
    index_ = start;
    return false;
}
