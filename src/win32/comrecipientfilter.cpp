#include "win32/comrecipientfilter.h"

#include <oleauto.h>

#include <string>

namespace qm
{
namespace
{

// Texts are single-byte in the system's code page, the component's are BSTRs.
BSTR toBstr(const std::string &text)
{
    const int n =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    BSTR b = SysAllocStringLen(nullptr, static_cast<UINT>(n));
    if (b && n > 0)
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), b, n);
    return b;
}

std::string fromBstr(BSTR b)
{
    const int length = static_cast<int>(SysStringLen(b));
    if (length == 0)
        return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, b, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, b, length, out.data(), n, nullptr, nullptr);
    return out;
}

class ComRecipientFilter final : public RecipientFilter
{
public:
    explicit ComRecipientFilter(IDispatch *component) : component_(component) {}
    ~ComRecipientFilter() override { component_->Release(); }
    ComRecipientFilter(const ComRecipientFilter &) = delete;
    ComRecipientFilter &operator=(const ComRecipientFilter &) = delete;

    void SetRecipient(const std::string &recipient) override
    {
        recipient_ = recipient;
        VARIANT argument;
        VariantInit(&argument);
        argument.vt = VT_BSTR;
        argument.bstrVal = toBstr(recipient);
        DISPPARAMS params{&argument, nullptr, 1, 0};
        VARIANT result;
        VariantInit(&result);
        methodFailed_ = FAILED(invoke(1, DISPATCH_METHOD, params, result));
        VariantClear(&result); // not used
        VariantClear(&argument);
    }

    std::string Value() const override
    {
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        VARIANT result;
        VariantInit(&result);
        std::string value = recipient_;
        // A component that refused the recipient has no word on it.
        if (!methodFailed_ && SUCCEEDED(invoke(DISPID_VALUE, DISPATCH_PROPERTYGET, none, result))) {
            VARIANT text;
            VariantInit(&text);
            if (SUCCEEDED(VariantChangeType(&text, &result, 0, VT_BSTR)))
                value = fromBstr(text.bstrVal);
            VariantClear(&text);
        }
        VariantClear(&result);
        return value;
    }

private:
    HRESULT invoke(DISPID id, WORD kind, DISPPARAMS &params, VARIANT &result) const
    {
        EXCEPINFO exception{};
        UINT badArgument = 0;
        const HRESULT hr = component_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &params,
                                              &result, &exception, &badArgument);
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        return hr;
    }

    IDispatch *component_;
    std::string recipient_; // as given: what stays when the component fails
    bool methodFailed_ = false;
};

} // namespace

ComApartment::ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}

ComApartment::~ComApartment()
{
    if (SUCCEEDED(result_))
        CoUninitialize();
}

RecipientFilterFactory MakeComRecipientFilterFactory(const CLSID &classId)
{
    return [classId]() -> std::unique_ptr<RecipientFilter> {
        IDispatch *component = nullptr;
        if (FAILED(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                    IID_IDispatch, reinterpret_cast<void **>(&component))) ||
            !component)
            return nullptr;
        return std::make_unique<ComRecipientFilter>(component);
    };
}

} // namespace qm
