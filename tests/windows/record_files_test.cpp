// The game's record files on Windows under faults, each made to happen (under
// Wine in the tests): failures at every write, flush, move and lock; a
// read-only file or a directory in the way; a file another program holds;
// copies saving at the same moment or waiting for each other; the game's
// own folder as its working directory; and what its installer and
// uninstaller keep of the player's, and leave alone while the game runs.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <tuple>

#include "shell/files.h"
#include "tests/unit/record_faults.h"

// Linked with --wrap for these calls (Windows' own through their import
// pointers): the Nth call of the armed kind fails.
namespace {
using namespace record_faults;
enum Call { FWRITE, FLUSH, MOVE, LOCK, CALL_KINDS };
}  // namespace

extern "C" {
// Each failure gives an error of its own, never one that is tried again.
bool FailsWith(Call call, DWORD error) {
    return Fails(call) && (SetLastError(error), true);
}
size_t __real_fwrite(const void *data, size_t size, size_t count, FILE *file);
size_t __wrap_fwrite(const void *data, size_t size, size_t count, FILE *file) {
    return Fails(FWRITE) ? 0 : __real_fwrite(data, size, count, file);
}
extern decltype(&FlushFileBuffers) __real___imp_FlushFileBuffers;
extern decltype(&MoveFileExW) __real___imp_MoveFileExW;
extern decltype(&LockFileEx) __real___imp_LockFileEx;
decltype(&FlushFileBuffers) __wrap___imp_FlushFileBuffers = [](HANDLE file) -> BOOL {
    return !FailsWith(FLUSH, ERROR_WRITE_FAULT) && __real___imp_FlushFileBuffers(file);
};
decltype(&MoveFileExW) __wrap___imp_MoveFileExW = [](LPCWSTR from, LPCWSTR to,
                                                     DWORD flags) -> BOOL {
    return !FailsWith(MOVE, ERROR_WRITE_FAULT) && __real___imp_MoveFileExW(from, to, flags);
};
decltype(&LockFileEx) __wrap___imp_LockFileEx = [](HANDLE file, DWORD flags, DWORD reserved,
                                                   DWORD low, DWORD high, LPOVERLAPPED at) -> BOOL {
    return !FailsWith(LOCK, ERROR_INVALID_FUNCTION) &&
           __real___imp_LockFileEx(file, flags, reserved, low, high, at);
};
}

namespace {

namespace fs = std::filesystem;

std::string Contents(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return fs::is_directory(path) ? "(directory)" : file ? bytes.str() : "(missing)";
}

// Empties the working directory, then makes "name=bytes" files and "name" directories.
void LayOut(const std::vector<std::string> &entries) {
    for (const auto &entry : fs::directory_iterator(".")) {
        SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(entry.path());
    }
    for (const std::string &entry : entries) {
        const size_t equals = entry.find('=');
        if (equals == std::string::npos) {
            fs::create_directory(entry);
        } else {
            std::ofstream(entry.substr(0, equals), std::ios::binary) << entry.substr(equals + 1);
        }
    }
}

// The handles this process holds open.
int OpenHandles() {
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return static_cast<int>(count);
}

// Each wrapped call must fail as often as the stores make it.
TEST(RecordFilesTest, AFailureAtAnyStepLeavesTheOldBytesOrTheNew) {
    const std::vector<int> injected =
        FailEachCallInTurn(CALL_KINDS, -1, LayOut, Contents, OpenHandles);
    // fwrite, FlushFileBuffers, MoveFileExW, LockFileEx
    EXPECT_EQ(injected, (std::vector<int>{28, 6, 6, 3}));
}

// A file marked read-only, or a directory, where a record file should be is
// never replaced: the store fails and leaves it as it was.
TEST(RecordFilesTest, AReadOnlyFileOrADirectoryIsNeverReplaced) {
    const std::pair<std::string, bool (*)()> cases[] = {
        {"IntHiScores.dat=" + TableBytes("OLD", 7), [] { return StoreTables(); }},
        {"IntHiScores.dat", [] { return StoreTables(); }},
        {"plyrsettings.dat=" + Saved("BOB", 10), StoreAnn},
        {"plyrsettings.dat", StoreAnn},
    };
    for (const auto &[layout, store] : cases) {
        SCOPED_TRACE(layout.substr(0, 20));
        LayOut({layout});
        const std::string path = layout.substr(0, layout.find('=')), before = Contents(path);
        SetFileAttributesA(path.c_str(),
                           GetFileAttributesA(path.c_str()) | FILE_ATTRIBUTE_READONLY);
        EXPECT_FALSE(store());
        EXPECT_EQ(Contents(path), before);
        EXPECT_EQ(TempFiles(), std::set<std::string>{});
    }
}

// This test started again as another program: --save NAME (a copy of the
// game saving), --hold FILE MS (a program that opens FILE sharing nothing, for
// MS milliseconds), --folder (a game started from elsewhere), --game (a
// game that runs). Whatever fails, none is left running.
struct Others {
    std::vector<PROCESS_INFORMATION> started;
    ~Others() { Stop(); }
    void Stop() {
        for (const PROCESS_INFORMATION &other : started) {
            TerminateProcess(other.hProcess, 9);
            WaitForSingleObject(other.hProcess, 5000);
            CloseHandle(other.hProcess);
            CloseHandle(other.hThread);
        }
        started.clear();
    }
    HANDLE Start(const std::wstring &arguments, const wchar_t *program = nullptr) {
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring line = L"other " + arguments;
        STARTUPINFOW start = {};
        start.cb = sizeof start;
        PROCESS_INFORMATION other = {};
        if (!CreateProcessW(program ? program : self, line.data(), nullptr, nullptr, FALSE, 0,
                            nullptr, nullptr, &start, &other)) {
            return nullptr;
        }
        started.push_back(other);
        return other.hProcess;
    }
};

// What a started program ended with, once it has ended within ms.
DWORD EndedWith(HANDLE other, DWORD ms) {
    DWORD status = 259;  // still running
    return WaitForSingleObject(other, ms) == WAIT_OBJECT_0 && GetExitCodeProcess(other, &status)
               ? status
               : 259;
}

constexpr const wchar_t *HELD = L"TileRiotHeld";  // set once --hold or --game holds its own

// A copy that saves while this one holds the lock waits for it, and saves
// once it is let go; one kept waiting 10 seconds gives up, its save failed.
// A lock file marked read-only locks all the same.
TEST(RecordFilesTest, ACopyWaitsForTheLockThenSavesOrGivesUp) {
    for (const bool gives_up : {false, true}) {
        SCOPED_TRACE(gives_up);
        LayOut({"plyrsettings.dat=" + Saved("BOB", 10), "plyrsettings.dat.lock="});
        SetFileAttributesA("plyrsettings.dat.lock", FILE_ATTRIBUTE_READONLY);
        Others copies;
        HANDLE copy = nullptr;
        {
            const ReplaceLock lock("plyrsettings.dat");
            ASSERT_NE(lock.Handle, -1);
            const ULONGLONG start = GetTickCount64();
            copy = copies.Start(L"--save ANN");
            ASSERT_TRUE(copy);
            EXPECT_EQ(EndedWith(copy, gives_up ? 15000 : 600), gives_up ? 2u : 259u);
            EXPECT_GE(GetTickCount64() - start, gives_up ? 10000u : 600u);
            EXPECT_EQ(Contents("plyrsettings.dat"), Saved("BOB", 10));
        }
        EXPECT_EQ(EndedWith(copy, 5000), gives_up ? 2u : 0u);
        EXPECT_EQ(Contents("plyrsettings.dat"),
                  Saved("BOB", 10) + (gives_up ? "" : Saved("ANN", 70000)));
    }
}

// Another program holds a record file, sharing nothing, while it is saved:
// for a moment (as antivirus does) the save waits and succeeds; all along
// (as a copy of the game with the file open would) it fails, the old bytes kept.
TEST(RecordFilesTest, AFileHeldForAMomentIsSavedOnceLetGo) {
    const std::string table = TableBytes("OLD", 7), bob = Saved("BOB", 10);
    const std::tuple<std::string, bool (*)(), int, bool> cases[] = {
        // the file and its bytes, the store, how long it is held, stored
        {"IntHiScores.dat=" + table, [] { return StoreTables(); }, 500, true},
        {"plyrsettings.dat=" + bob, StoreAnn, 500, true},
        {"plyrsettings.dat=" + bob, StoreAnn, 2600, false},
    };
    for (const auto &[layout, store, ms, stored] : cases) {
        const std::string path = layout.substr(0, layout.find('='));
        SCOPED_TRACE(path + " " + std::to_string(ms));
        LayOut({layout});
        const HANDLE held = CreateEventW(nullptr, TRUE, FALSE, HELD);
        Others holder;
        const HANDLE other =
            holder.Start(L"--hold " + fs::path(path).wstring() + L" " + std::to_wstring(ms));
        ASSERT_EQ(WaitForSingleObject(held, 5000), WAIT_OBJECT_0);
        const std::string before = Contents(path);
        EXPECT_EQ(store(), stored);
        EXPECT_NE(Contents(path) == before, stored);
        EXPECT_EQ(TempFiles(), std::set<std::string>{});
        EXPECT_EQ(EndedWith(other, 5000), 0u);
        CloseHandle(held);
    }
}

// Started from another working directory, the game works in its own folder,
// whatever letters its name holds.
TEST(RecordFilesTest, TheGameWorksInItsOwnFolder) {
    LayOut({});
    const fs::path folder = fs::current_path() / L"Spiele \u00c4rger \u65e5\u672c \u2603";
    fs::create_directory(folder);
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    fs::copy_file(self, folder / L"game.exe");
    Others game;
    EXPECT_EQ(EndedWith(game.Start(L"--folder", (folder / L"game.exe").c_str()), 10000), 0u);
}

// Runs the installer or the uninstaller silently on folder (the uninstaller
// in place, so that its own exit code comes back); that code.
DWORD Silently(const fs::path &program, const fs::path &folder) {
    const bool uninstall = program.filename() == "uninstall.exe";
    Others run;
    const std::wstring arguments =
        (uninstall ? L"/S _?=" : L"/S /D=") + fs::absolute(folder).wstring();
    const HANDLE ran = run.Start(arguments, program.c_str());
    return ran ? EndedWith(ran, 60000) : 259;
}

// The installer and the uninstaller keep a level or the credits the player
// changed, replace or remove those the player did not, and touch nothing
// while the game runs.
TEST(InstallerTest, ChangedFilesAreKeptAndARunningGameIsLeftAlone) {
    const char *built = std::getenv("TILERIOT_WINDOWS_DIR");  // a Linux path, under Wine
    const fs::path setup = "Z:" + std::string(built ? built : "") + "/" TILERIOT_SETUP;
    const fs::path game = fs::current_path() / "TileRiot";
    if (!built || !fs::exists(setup)) {
        GTEST_SKIP() << "no installer in TILERIOT_WINDOWS_DIR";
    }
    LayOut({});
    ASSERT_EQ(Silently(setup, game), 0u);
    const std::string castle = Contents((game / "CASTLE.trl").string());
    // The player's own level, a changed built-in one, and, as left by an
    // older version, a sample level the player never changed.
    std::ofstream(game / "Mine.trl") << "1";
    std::ofstream(game / "IntLvl01.trl") << "0 1";
    std::ofstream(game / "CASTLE.trl") << "old";
    std::ofstream(game / "Originals" / "CASTLE.trl") << "old";
    ASSERT_EQ(Silently(setup, game), 0u);
    EXPECT_EQ(Contents((game / "IntLvl01.trl").string()), "0 1");
    EXPECT_EQ(Contents((game / "CASTLE.trl").string()), castle);

    Others running;
    const HANDLE held = CreateEventW(nullptr, TRUE, FALSE, HELD);
    ASSERT_TRUE(running.Start(L"--game"));
    ASSERT_EQ(WaitForSingleObject(held, 5000), WAIT_OBJECT_0);
    CloseHandle(held);
    fs::remove(game / "README.txt");
    EXPECT_EQ(Silently(setup, game), 2u);
    EXPECT_EQ(Silently(game / "uninstall.exe", game), 2u);
    EXPECT_FALSE(fs::exists(game / "README.txt"));
    EXPECT_TRUE(fs::exists(game / "tileriot.exe"));
    running.Stop();

    std::ofstream(game / "IntHiScores.dat") << "scores";
    EXPECT_EQ(Silently(game / "uninstall.exe", game), 0u);
    fs::remove(game / "uninstall.exe");  // run in place, it cannot take itself out
    EXPECT_EQ(std::distance(fs::directory_iterator(game), {}), 3);  // only these:
    for (const char *kept : {"IntHiScores.dat", "IntLvl01.trl", "Mine.trl"}) {
        EXPECT_TRUE(fs::exists(game / kept)) << kept;
    }
}

}  // namespace

// The tests and their helpers work in a directory of their own, which each case empties.
int main(int argc, char **argv) {
    if (argc == 3 && std::string(argv[1]) == "--save") {
        return StoreSavedGame(record_bytes::Settings(argv[2], 1, 70000, 2)) ? 0 : 2;
    }
    if (argc == 4 && std::string(argv[1]) == "--hold") {
        const HANDLE file = CreateFileA(argv[2], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, 0);
        SetEvent(OpenEventW(EVENT_MODIFY_STATE, FALSE, HELD));
        Sleep(std::atoi(argv[3]));
        return CloseHandle(file) ? 0 : 2;
    }
    if (argc == 2 && std::string(argv[1]) == "--game") {  // holds what a running game holds
        EnterGameFolder();
        SetEvent(OpenEventW(EVENT_MODIFY_STATE, FALSE, HELD));
        Sleep(INFINITE);
    }
    if (argc == 2 && std::string(argv[1]) == "--folder") {
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        EnterGameFolder();
        return fs::current_path() == fs::path(self).parent_path() ? 0 : 2;
    }
    const fs::path directory =
        fs::temp_directory_path() / ("tileriot-" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(directory);
    fs::current_path(directory);
    testing::InitGoogleTest(&argc, argv);
    const int failed = RUN_ALL_TESTS();
    LayOut({});
    fs::current_path(directory.parent_path());
    fs::remove(directory);
    return failed;
}
