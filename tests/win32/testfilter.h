#pragma once
// A test automation component of the recipient filter's kind: method 1
// takes the recipient, the default value (0) gives it rewritten. It writes
// the number in the international form with the country code 31 after a
// 00 prefix and a blank ("0611111111" becomes "0031 611111111"), so the
// centre tells whether it passed, and the blank shows the gateway's own
// clean-up runs after it. Other modes serve the unit tests.

#include <windows.h>

#include <oaidl.h>

#include <atomic>

namespace qm::test
{

// The class identifier the gateway creates, written out apart from the
// gateway's own constant: a wrong digit in either fails the whole-core test.
inline constexpr CLSID FilterClassId = {
    0xE4E91C9D, 0x312D, 0x11D2, {0xB4, 0x77, 0x08, 0x00, 0x36, 0x5D, 0xA9, 0x02}};

enum class FilterMode {
    Rewrite,    // as above
    Number,     // the value is the number 42, not a text
    FailValue,  // reading the value fails
    FailMethod, // the method call fails; the value then is what was last set
};

// COM objects end by their own Release, never by a delete through the
// interface, so the interfaces have no virtual destructor to warn about.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

class TestFilter final : public IDispatch
{
public:
    explicit TestFilter(FilterMode mode);
    ~TestFilter();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *params,
                                     VARIANT *result, EXCEPINFO *, UINT *) override;

    static std::atomic<int> alive;       // instances not yet released
    static std::atomic<int> created;     // instances ever made
    static std::atomic<int> methodCalls; // calls of method 1

private:
    std::atomic<ULONG> references_{1};
    FilterMode mode_;
    BSTR recipient_ = nullptr;
};

// Makes TestFilter objects of one mode.
class TestFilterFactory final : public IClassFactory
{
public:
    explicit TestFilterFactory(FilterMode mode) : mode_(mode) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; } // lives as long as its module
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *outer, REFIID iid, void **out) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    FilterMode mode_;
};

#pragma GCC diagnostic pop

} // namespace qm::test
