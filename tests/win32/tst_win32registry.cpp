// Guards the registry on Windows: a multi-string value read back string by
// string after the test wrote it, a plain string as a one-string list, and
// the error numbers of a missing key, a missing value and a value of another
// type, as RegQueryValueExW gives them.
#include <gtest/gtest.h>

#include "platform.h"

#include <windows.h>

using namespace vantel::platform;

namespace {

const wchar_t testKey[] = L"Software\\VantelTest\\Loader";

class Win32RegistryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, testKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override
    {
        RegCloseKey(key);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VantelTest");
    }
    void set(const wchar_t* name, DWORD type, const std::wstring& data)
    {
        ASSERT_EQ(RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                                 DWORD(data.size() * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }

    HKEY key = nullptr;
};

} // namespace

TEST_F(Win32RegistryTest, readsBackWhatWasWritten)
{
    // A real tablet adds the loader's own HKEY_LOCAL_MACHINE\Loader, written by its installer.
    set(L"SystemPath", REG_MULTI_SZ, std::wstring(L"C:\\Loader\\bin\0D:\\Tools \u00e8\0\0", 25));
    set(L"Single", REG_SZ, std::wstring(L"C:\\One\0", 7));
    set(L"Number", REG_DWORD, std::wstring(L"\x0002\0", 2));

    const std::shared_ptr<Backend> native = createNativeBackend();
    Registry& registry = native->registry();
    std::vector<std::string> strings;
    EXPECT_EQ(registry.readStringList("HKEY_CURRENT_USER\\Software\\VantelTest\\Loader", "systempath", strings),
              REGISTRY_OK);
    EXPECT_EQ(strings, (std::vector<std::string>{"C:\\Loader\\bin", "D:\\Tools \xc3\xa8"}));
    EXPECT_EQ(registry.readStringList("HKEY_CURRENT_USER\\Software\\VantelTest\\Loader", "Single", strings),
              REGISTRY_OK);
    EXPECT_EQ(strings, std::vector<std::string>{"C:\\One"});

    EXPECT_EQ(registry.readStringList("HKEY_CURRENT_USER\\Software\\VantelTest\\Loader", "Number", strings),
              ERROR_INVALID_DATATYPE);
    EXPECT_TRUE(strings.empty());
    EXPECT_EQ(registry.readStringList("HKEY_CURRENT_USER\\Software\\VantelTest\\Loader", "Missing", strings),
              REGISTRY_NOT_FOUND);
    EXPECT_EQ(registry.readStringList("HKEY_LOCAL_MACHINE\\NoSuchKey\\Loader", "SystemPath", strings),
              REGISTRY_NOT_FOUND);
    EXPECT_EQ(registry.readStringList("HKEY_NOWHERE\\Loader", "SystemPath", strings), REGISTRY_NOT_FOUND);
    EXPECT_TRUE(strings.empty());
}
