// The manifest of the built tileriot.exe, as Windows itself reads it from the
// program's resources: per-monitor DPI awareness, the older setting for older
// Windows, and the current common controls for the message boxes.

#include <windows.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

TEST(ManifestTest, TheGameIsPerMonitorAwareAndUsesTheCurrentControls) {
    const char *built = std::getenv("TILERIOT_WINDOWS_DIR");  // a Linux path, under Wine
    ASSERT_NE(built, nullptr) << "TILERIOT_WINDOWS_DIR names no Windows build";
    const std::string game = "Z:" + std::string(built) + "/game/tileriot.exe";
    ACTCTXA request = {};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = game.c_str();
    request.lpResourceName = MAKEINTRESOURCEA(1);  // the manifest a process starts with
    const HANDLE context = CreateActCtxA(&request);
    ASSERT_NE(context, INVALID_HANDLE_VALUE) << game << " carries no manifest Windows takes";
    const auto setting = [context](const wchar_t *year, const wchar_t *name) {
        const std::wstring space =
            L"http://schemas.microsoft.com/SMI/" + std::wstring(year) + L"/WindowsSettings";
        wchar_t value[128] = L"";
        SIZE_T written = 0;
        QueryActCtxSettingsW(0, context, space.c_str(), name, value, 128, &written);
        return std::wstring(value);
    };
    EXPECT_EQ(setting(L"2016", L"dpiAwareness"), L"PerMonitorV2, PerMonitor");
    EXPECT_EQ(setting(L"2005", L"dpiAware"), L"true/pm");
    std::wstring controls;  // the identity of the common controls Windows found for it
    alignas(ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION) char room[4096];
    for (DWORD index = 1;
         QueryActCtxW(0, context, &index, AssemblyDetailedInformationInActivationContext, room,
                      sizeof room, nullptr);
         ++index) {
        const std::wstring identity =
            reinterpret_cast<ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION *>(room)
                ->lpAssemblyEncodedAssemblyIdentity;
        if (identity.rfind(L"Microsoft.Windows.Common-Controls,", 0) == 0) {
            controls = identity;
        }
    }
    EXPECT_NE(controls.find(L"version=\"6.0."), std::wstring::npos) << "no common controls 6.0";
    ReleaseActCtx(context);
}
