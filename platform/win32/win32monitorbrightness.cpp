#include "win32monitorbrightness.h"

#include <windows.h>

#include <oleauto.h>
#include <wbemidl.h>

#include <cwchar>

namespace vantel::platform {

namespace {

// A BSTR freed when it goes.
class Text
{
public:
    explicit Text(const wchar_t* text) : value(SysAllocString(text)) {}
    ~Text() { SysFreeString(value); }
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;
    operator BSTR() const { return value; }

private:
    BSTR value;
};

template <class Interface>
void release(Interface*& object)
{
    if (object)
        object->Release();
    object = nullptr;
}

// One connection to "root\wmi"; any failing step leaves `services` null.
class WmiSession
{
public:
    WmiSession()
    {
        // S_FALSE (COM already initialised on this thread) still wants its CoUninitialize.
        initialized = SUCCEEDED(CoInitialize(nullptr));
        // Its result does not matter: a host may have set the process's security already.
        CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_PKT_PRIVACY,
                             RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_SECURE_REFS, nullptr);
        if (FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                    reinterpret_cast<void**>(&locator))))
            return;
        const Text space(L"root\\wmi");
        if (FAILED(locator->ConnectServer(space, nullptr, nullptr, nullptr, 0, nullptr, nullptr, &services)))
            return;
        if (FAILED(CoSetProxyBlanket(services, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_PKT,
                                     RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE)))
            release(services);
    }

    ~WmiSession()
    {
        release(services);
        release(locator);
        if (initialized)
            CoUninitialize();
    }

    WmiSession(const WmiSession&) = delete;
    WmiSession& operator=(const WmiSession&) = delete;

    // The instances `wql` selects; null on failure.
    IEnumWbemClassObject* query(const wchar_t* wql)
    {
        IEnumWbemClassObject* instances = nullptr;
        const Text language(L"WQL"), text(wql);
        if (!services || FAILED(services->ExecQuery(language, text, WBEM_FLAG_RETURN_IMMEDIATELY, nullptr, &instances)))
            return nullptr;
        return instances;
    }

    IWbemServices* services = nullptr;

private:
    IWbemLocator* locator = nullptr;
    bool initialized = false;
};

// The next instance, waiting as long as WMI takes; null at the end.
IWbemClassObject* next(IEnumWbemClassObject* instances)
{
    IWbemClassObject* instance = nullptr;
    ULONG returned = 0;
    if (instances->Next(static_cast<LONG>(WBEM_INFINITE), 1, &instance, &returned) != WBEM_S_NO_ERROR || returned == 0) {
        release(instance);
        return nullptr;
    }
    return instance;
}

bool putText(IWbemClassObject* object, const wchar_t* name, const wchar_t* text, CIMTYPE type)
{
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocString(text);
    const HRESULT result = object->Put(name, 0, &value, type);
    VariantClear(&value);
    return SUCCEEDED(result);
}

bool setOne(IWbemServices* services, IWbemClassObject* monitor, int percent)
{
    const Text className(L"WmiMonitorBrightnessMethods"), method(L"WmiSetBrightness");
    wchar_t number[16];
    std::swprintf(number, 16, L"%ld", long(percent));
    IWbemClassObject* methods = nullptr;
    IWbemClassObject* parameters = nullptr;
    IWbemClassObject* arguments = nullptr;
    VARIANT path;
    VariantInit(&path);
    const bool done = SUCCEEDED(services->GetObject(className, 0, nullptr, &methods, nullptr))
        && SUCCEEDED(methods->GetMethod(method, 0, &parameters, nullptr))
        && SUCCEEDED(parameters->SpawnInstance(0, &arguments)) && putText(arguments, L"Timeout", L"1200", CIM_UINT32)
        && putText(arguments, L"Brightness", number, CIM_UINT8)
        && SUCCEEDED(monitor->Get(L"__PATH", 0, &path, nullptr, nullptr)) && path.vt == VT_BSTR
        && SUCCEEDED(services->ExecMethod(path.bstrVal, method, 0, nullptr, arguments, nullptr, nullptr));
    VariantClear(&path);
    release(arguments);
    release(parameters);
    release(methods);
    return done;
}

} // namespace

int Win32MonitorBrightness::currentBrightness()
{
    WmiSession wmi;
    IEnumWbemClassObject* monitors = wmi.query(L"Select * from WmiMonitorBrightness");
    if (!monitors)
        return -1;
    int brightness = -1;
    while (IWbemClassObject* monitor = next(monitors)) {
        VARIANT value;
        VariantInit(&value);
        const bool read = SUCCEEDED(monitor->Get(L"CurrentBrightness", 0, &value, nullptr, nullptr))
            && value.vt == VT_UI1;
        if (read)
            brightness = value.bVal;
        VariantClear(&value);
        release(monitor);
        if (!read)
            break;
    }
    release(monitors);
    return brightness;
}

bool Win32MonitorBrightness::setBrightness(int percent)
{
    WmiSession wmi;
    IEnumWbemClassObject* monitors = wmi.query(L"Select * from WmiMonitorBrightnessMethods");
    if (!monitors)
        return false;
    bool any = false;
    while (IWbemClassObject* monitor = next(monitors)) {
        const bool done = setOne(wmi.services, monitor, percent);
        release(monitor);
        if (!done)
            break;
        any = true;
    }
    release(monitors);
    return any;
}

} // namespace vantel::platform
