#include "testfilter.h"

#include <oleauto.h>

#include <string>

namespace qm::test
{

std::atomic<int> TestFilter::alive{0};
std::atomic<int> TestFilter::created{0};
std::atomic<int> TestFilter::methodCalls{0};

TestFilter::TestFilter(FilterMode mode) : mode_(mode)
{
    ++alive;
    ++created;
}

TestFilter::~TestFilter()
{
    SysFreeString(recipient_);
    --alive;
}

HRESULT STDMETHODCALLTYPE TestFilter::QueryInterface(REFIID iid, void **out)
{
    if (!out)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
        *out = static_cast<IDispatch *>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE TestFilter::AddRef()
{
    return ++references_;
}

ULONG STDMETHODCALLTYPE TestFilter::Release()
{
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE TestFilter::GetTypeInfoCount(UINT *count)
{
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestFilter::GetTypeInfo(UINT, LCID, ITypeInfo **info)
{
    *info = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TestFilter::GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TestFilter::Invoke(DISPID id, REFIID, LCID, WORD flags,
                                             DISPPARAMS *params, VARIANT *result, EXCEPINFO *,
                                             UINT *)
{
    if (id == 1 && (flags & DISPATCH_METHOD)) {
        ++methodCalls;
        if (!params || params->cArgs != 1)
            return DISP_E_BADPARAMCOUNT;
        if (mode_ == FilterMode::FailMethod)
            return E_FAIL;
        VARIANT text;
        VariantInit(&text);
        if (FAILED(VariantChangeType(&text, &params->rgvarg[0], 0, VT_BSTR)))
            return DISP_E_TYPEMISMATCH;
        SysFreeString(recipient_);
        recipient_ = text.bstrVal; // taken over from `text`
        return S_OK;
    }
    if (id == DISPID_VALUE && (flags & DISPATCH_PROPERTYGET) && result) {
        if (mode_ == FilterMode::FailValue)
            return E_FAIL;
        VariantInit(result);
        if (mode_ == FilterMode::Number) {
            result->vt = VT_I4;
            result->lVal = 42;
            return S_OK;
        }
        std::wstring value = recipient_ ? std::wstring(recipient_, SysStringLen(recipient_)) : L"";
        if (mode_ == FilterMode::Rewrite && value.size() > 1 && value[0] == L'0' &&
            value[1] != L'0')
            value = L"0031 " + value.substr(1);
        result->vt = VT_BSTR;
        result->bstrVal = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
        return S_OK;
    }
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT STDMETHODCALLTYPE TestFilterFactory::QueryInterface(REFIID iid, void **out)
{
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
        *out = static_cast<IClassFactory *>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE TestFilterFactory::CreateInstance(IUnknown *outer, REFIID iid, void **out)
{
    if (outer)
        return CLASS_E_NOAGGREGATION;
    auto *filter = new TestFilter(mode_);
    const HRESULT hr = filter->QueryInterface(iid, out);
    filter->Release();
    return hr;
}

} // namespace qm::test
