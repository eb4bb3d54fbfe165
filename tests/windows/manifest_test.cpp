// The manifest of the built tileriot.exe, as Windows itself reads it from the
// program's resources: per-monitor DPI awareness, the older setting for older
// Windows, and the current common controls for the message boxes.

#include <windows.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

constexpr wchar_t SETTINGS_2005[] = L"http://schemas.microsoft.com/SMI/2005/WindowsSettings",
                  SETTINGS_2016[] = L"http://schemas.microsoft.com/SMI/2016/WindowsSettings";

// A setting of the manifest's windowsSettings, "" where it has none.
std::wstring Setting(HANDLE context, const wchar_t *space, const wchar_t *name) {
    wchar_t value[128] = L"";
    SIZE_T written = 0;
    return QueryActCtxSettingsW(0, context, space, name, value, 128, &written) ? value : L"";
}

// The identities of the assemblies the manifest depends on, as Windows found them.
std::wstring Assemblies(HANDLE context) {
    std::wstring all;
    for (DWORD index = 1;; ++index) {
        alignas(ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION) char room[4096];
        SIZE_T needed = 0;
        if (!QueryActCtxW(0, context, &index, AssemblyDetailedInformationInActivationContext, room,
                          sizeof room, &needed)) {
            return all;
        }
        const auto &info =
            *reinterpret_cast<ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION *>(room);
        all += std::wstring(info.lpAssemblyEncodedAssemblyIdentity) + L"\n";
    }
}

}  // namespace

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
    EXPECT_EQ(Setting(context, SETTINGS_2016, L"dpiAwareness"), L"PerMonitorV2, PerMonitor");
    EXPECT_EQ(Setting(context, SETTINGS_2005, L"dpiAware"), L"true/pm");
    const std::wstring assemblies = Assemblies(context);
    const size_t controls = assemblies.find(L"Microsoft.Windows.Common-Controls,");
    ASSERT_NE(controls, std::wstring::npos) << "no common controls among the assemblies";
    const std::wstring identity =
        assemblies.substr(controls, assemblies.find(L'\n', controls) - controls);
    EXPECT_NE(identity.find(L"version=\"6.0."), std::wstring::npos)
        << std::string(identity.begin(), identity.end());
    ReleaseActCtx(context);
}
