// The test component as an in-process server: the DLL a Wine prefix
// registers under HKLM\Software\Classes\CLSID\{...}\InprocServer32.

#include "testfilter.h"

namespace
{
qm::test::TestFilterFactory factory(qm::test::FilterMode::Rewrite);
} // namespace

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE
    DllGetClassObject(REFCLSID classId, REFIID iid, void **out)
{
    if (!IsEqualCLSID(classId, qm::test::FilterClassId)) {
        *out = nullptr;
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return factory.QueryInterface(iid, out);
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return qm::test::TestFilter::alive == 0 ? S_OK : S_FALSE;
}
