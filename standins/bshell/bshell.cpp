// Stand-in for the product's shell extension "bshell.dll": setup only
// registers it, so it only has to be a loadable library with the two exports
// of an in-process server. It offers no class.
#include <windows.h>

STDAPI DllGetClassObject(REFCLSID, REFIID, LPVOID* object)
{
    if (object) *object = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() { return S_OK; }
