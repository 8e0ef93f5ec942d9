// The named mutex that makes a journal one process's own: a second setup
// never recovers or rolls back the journal of one that is still running
// (Win32).
#pragma once
#include <windows.h>

// Takes the mutex without waiting, creating it the first time; an abandoned
// one counts as taken (its owner was killed).
inline bool TakeJournalMutex(HANDLE& mutex, const char* name)
{
    if (!mutex) mutex = CreateMutexA(nullptr, FALSE, name);
    if (!mutex) return false;
    const DWORD r = WaitForSingleObject(mutex, 0);
    return r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
}
