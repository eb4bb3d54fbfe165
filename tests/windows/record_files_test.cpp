// The game's record files on Windows under faults, each made to happen (under
// Wine in the tests); the game's own folder; and what its installer and
// uninstaller keep, and leave alone while the game runs.

#include <gtest/gtest.h>
#include <process.h>
#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <tuple>

#include "shell/files.h"
#include "tests/unit/record_faults.h"

using namespace record_faults;
enum Call { FWRITE, FLUSH, MOVE, LOCK, CALL_KINDS };
// Opens of paths ending in this name are refused, as a protected folder refuses
// them; reads through the game's own look-ahead fail as on a locked part of a
// file until this time (Wine never fails a read on a locked part).
const wchar_t *Refused = nullptr;
ULONGLONG ReadsLockedUntil = 0;

// Linked with --wrap (Windows' calls through their import pointers): the Nth
// call of the armed kind fails, with an error that is never tried again.
#define WRAP(call, kind, error)                                                           \
    extern decltype(&call) __real___imp_##call;                                           \
    decltype(&call) __wrap___imp_##call = [](auto... args) -> BOOL {                      \
        return Fails(kind) ? (SetLastError(error), FALSE) : __real___imp_##call(args...); \
    }
extern "C" {
size_t __real_fwrite(const void *data, size_t size, size_t count, FILE *file);
size_t __wrap_fwrite(const void *data, size_t size, size_t count, FILE *file) {
    return Fails(FWRITE) ? 0 : __real_fwrite(data, size, count, file);
}
WRAP(FlushFileBuffers, FLUSH, ERROR_WRITE_FAULT);
WRAP(MoveFileExW, MOVE, ERROR_WRITE_FAULT);
WRAP(LockFileEx, LOCK, ERROR_INVALID_FUNCTION);
extern decltype(&CreateFileW) __real___imp_CreateFileW;
decltype(&CreateFileW) __wrap___imp_CreateFileW = [](LPCWSTR path, auto... args) {
    const size_t length = std::wcslen(path), end = Refused ? std::wcslen(Refused) : length + 1;
    return end <= length && std::wcscmp(path + length - end, Refused) == 0
               ? (SetLastError(ERROR_ACCESS_DENIED), INVALID_HANDLE_VALUE)
               : __real___imp_CreateFileW(path, args...);
};
extern decltype(&ReadFile) __real___imp_ReadFile;
decltype(&ReadFile) __wrap___imp_ReadFile = [](auto... args) -> BOOL {
    return GetTickCount64() < ReadsLockedUntil ? (SetLastError(ERROR_LOCK_VIOLATION), FALSE)
                                               : __real___imp_ReadFile(args...);
};
}

namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path &path) {
    std::ifstream file(path, std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(file), {});
    return fs::is_directory(path) ? "(directory)" : file ? bytes : "(missing)";
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

// The files of the working directory that another handle holds open: deleted,
// such a file stays until that handle is closed. The files are taken away.
int HeldFiles() {
    int held = 0;
    for (const auto &entry : fs::directory_iterator(".")) {
        SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        held += DeleteFileW(entry.path().c_str()) && fs::exists(entry.path());
    }
    return held;
}

TEST(RecordFilesTest, AFailureAtAnyStepLeavesTheOldBytesOrTheNew) {
    EXPECT_EQ(FailEachCallInTurn(CALL_KINDS, -1, LayOut, Contents, HeldFiles),
              (std::vector<int>{28, 6, 6, 5}));
    LayOut({"held=1"});  // a handle left open is seen
    const HANDLE left = CreateFileW(L"held", GENERIC_READ, 7, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(HeldFiles(), 1);
    CloseHandle(left);
}

constexpr const wchar_t *HELD = L"TileRiotHeld";  // set once another program holds its own

fs::path Self() {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return self;
}

// Another program, this test itself by default (see main), never left running.
struct Other {
    HANDLE process = nullptr;
    ~Other() {
        TerminateProcess(process, 9);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
    // Starts it, arguments as they are on its command line; null unless it
    // started and, if it holds something, holds it.
    HANDLE Start(const std::wstring &arguments, bool holds, const fs::path &program = Self()) {
        const HANDLE held = CreateEventW(nullptr, TRUE, FALSE, HELD);
        const intptr_t started =
            _wspawnl(_P_NOWAIT, program.c_str(), L"other", arguments.c_str(), nullptr);
        process = started == -1 ? nullptr : reinterpret_cast<HANDLE>(started);
        const bool ready = process && (!holds || WaitForSingleObject(held, 5000) == WAIT_OBJECT_0);
        CloseHandle(held);
        return ready ? process : nullptr;
    }
};

// What a started program ended with, once it has ended within ms.
DWORD EndedWith(HANDLE other, DWORD ms) {
    DWORD status = STILL_ACTIVE;
    WaitForSingleObject(other, ms);
    GetExitCodeProcess(other, &status);
    return status;
}

// A record file marked read-only, a directory in its place, or one in a
// folder that refuses it is never replaced, at once. One held, sharing nothing
// or all but its removal, for a moment (as antivirus does), read-locked, or
// locked by a copy while it saves, is saved once let go. Held 2 seconds (as
// by a copy with it open) or locked 10, the save gives up, the old bytes kept.
TEST(RecordFilesTest, AFileInTheWayIsSavedOnceLetGoOrLeftAsItWas) {
    const std::string table = "IntHiScores.dat=" + TableBytes({{"OLD", 7}}),
                      saved = "plyrsettings.dat=" + Saved("BOB", 10);
    bool (*const tables)() = [] { return StoreTables(); };
    bool (*const refused)() = [] { return Refused = L"plyrsettings.dat", StoreAnn(); };
    bool (*const read_locked)() = [] {
        return ReadsLockedUntil = GetTickCount64() + 500, StoreAnn();
    };
    const std::tuple<std::string, bool (*)(), std::wstring, bool, DWORD, DWORD> cases[] = {
        // the layout, the store, the program in the way (none: the file is
        // marked read-only; "-": nothing), stored, after how many ms at least, at most
        {table, tables, L"", false, 0, 1000},
        {"IntHiScores.dat", tables, L"", false, 0, 1000},
        {saved, StoreAnn, L"", false, 0, 1000},
        {"plyrsettings.dat", StoreAnn, L"", false, 0, 1000},
        {saved, refused, L"-", false, 0, 1000},
        {saved, read_locked, L"-", true, 500, 2000},
        {table, tables, L"--hold 500", true, 0, 2000},
        {saved, StoreAnn, L"--hold 500", true, 0, 2000},
        {saved, StoreAnn, L"--keep 500", true, 400, 2000},
        {saved, StoreAnn, L"--hold 2600", false, 2000, 2600},
        {saved, StoreAnn, L"--lock 600", true, 0, 2000},
        {saved, StoreAnn, L"--lock 11000", false, 10000, 11000},
    };
    for (const auto &[layout, store, other, stored, at_least, at_most] : cases) {
        const std::string path = layout.substr(0, layout.find('='));
        SCOPED_TRACE(layout.substr(0, 20) + " " + testing::PrintToString(other));
        LayOut({layout});
        LoadHighScores();  // a new run
        const std::string before = Contents(path);
        Other holder;
        const HANDLE held = other.size() < 2
                                ? nullptr
                                : holder.Start(other + L" " + fs::path(path).wstring(), true);
        ASSERT_TRUE(other.empty() ? SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY)
                                  : held || other == L"-");
        const ULONGLONG start = GetTickCount64();
        EXPECT_EQ(store(), stored);
        const ULONGLONG took = GetTickCount64() - start;
        Refused = nullptr;
        EXPECT_GE(took, at_least);
        EXPECT_LE(took, at_most);
        EXPECT_EQ(TempFiles(), std::set<std::string>{});
        EXPECT_EQ(held ? EndedWith(held, 15000) : 0, 0u);
        EXPECT_NE(Contents(path) == before, stored);
    }
}

// Copies of the game in one folder: this one reads the tables, another
// enters a score, then this one an equal score; two more enter theirs at
// once. Every score is kept, an equal one below those entered before it.
TEST(RecordFilesTest, CopiesKeepEachOthersScores) {
    LayOut({});
    LoadHighScores();
    EXPECT_EQ(EndedWith(Other().Start(L"--score BOB 50", false), 15000), 0u);
    const char *unsaved;
    EXPECT_TRUE(EnterScore(GAME_INTERNAL, "ANN", 50, unsaved) && !unsaved);
    Other first, second;
    const HANDLE one = first.Start(L"--score CY 60", false),
                 two = second.Start(L"--score DI 60", false);
    EXPECT_EQ(EndedWith(one, 15000) + EndedWith(two, 15000), 0u);
    const std::string table = Contents("IntHiScores.dat");
    EXPECT_EQ(table.substr(72), TableBytes({{"BOB", 50}, {"ANN", 50}}).substr(0, 288));
    EXPECT_EQ((std::set{table.substr(0, 36), table.substr(36, 36)}),
              (std::set{record_bytes::HighScore("CY", 60), record_bytes::HighScore("DI", 60)}));
}

// Started from another working directory, the game works in its own folder,
// whatever letters its name holds.
TEST(RecordFilesTest, TheGameWorksInItsOwnFolder) {
    LayOut({});
    const fs::path folder = fs::current_path() / L"Spiele \u00c4rger \u65e5\u672c \u2603";
    fs::create_directory(folder);
    fs::copy_file(Self(), folder / L"game.exe");
    EXPECT_TRUE(Other().Start(L"--game", true, folder / L"game.exe"));
}

// Runs the uninstaller in place with its pages, each passed by its default
// button as a player would; the text of a box that names the files kept.
std::wstring UninstallNamingKept(const fs::path &game) {
    Other uninstaller;
    const HANDLE process =
        uninstaller.Start(L"_?=" + game.wstring(), false, game / "uninstall.exe");
    struct Seen {
        DWORD id;
        std::wstring kept;
    } seen = {GetProcessId(process), L""};
    for (int look = 0; process && look < 600 && EndedWith(process, 100) == STILL_ACTIVE; ++look) {
        EnumWindows(
            [](HWND window, LPARAM to) -> BOOL {
                Seen &seen = *reinterpret_cast<Seen *>(to);
                DWORD id = 0;
                wchar_t text[1024] = L"";
                GetWindowThreadProcessId(window, &id);
                GetDlgItemTextW(window, 0xFFFF, text, 1024);  // a message box's text
                if (id == seen.id && IsWindowVisible(window) &&
                    IsWindowEnabled(GetDlgItem(window, IDOK))) {
                    seen.kept = std::wcsstr(text, L"kept in") ? text : seen.kept;
                    PostMessageW(GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&seen));
    }
    return seen.kept;
}

// The installer and the uninstaller keep a level the player changed, replace
// or remove those the player did not (and the credits the game made up),
// and touch nothing while the game runs.
TEST(InstallerTest, ChangedFilesAreKeptAndARunningGameIsLeftAlone) {
    const char *built = std::getenv("TILERIOT_WINDOWS_DIR");  // a Linux path, under Wine
    const fs::path setup = "Z:" + std::string(built ? built : "") + "/" TILERIOT_SETUP;
    const fs::path game = fs::current_path() / "TileRiot";
    if (!built || !fs::exists(setup)) {
        GTEST_SKIP() << "no installer in TILERIOT_WINDOWS_DIR";
    }
    // Both run silently; the uninstaller in place, so that its own exit code comes back.
    const auto run = [&](const fs::path &program, const wchar_t *folder) {
        return EndedWith(Other().Start(folder + game.wstring(), false, program), 60000);
    };
    const auto install = [&] { return run(setup, L"/S /D="); };
    const auto uninstall = [&] { return run(game / "uninstall.exe", L"/S _?="); };
    LayOut({});
    ASSERT_EQ(install(), 0u);
    const std::string castle = Contents(game / "CASTLE.trl"),
                      credits = Contents(game / "credits.txt");
    // What the game writes when the credits are missing is not the player's.
    const char *const stand_in =
        "Credits file not found - please replace this interim file with a real one!";
    std::ofstream(game / "credits.txt") << stand_in;
    // The player's own level, a changed built-in one, and, as left by an
    // older version, a sample level the player never changed.
    std::ofstream(game / "Mine.trl") << "1";
    std::ofstream(game / "IntLvl01.trl") << "0 1";
    std::ofstream(game / "CASTLE.trl") << "old";
    std::ofstream(game / "Originals" / "CASTLE.trl") << "old";
    ASSERT_EQ(install(), 0u);
    EXPECT_EQ(Contents(game / "IntLvl01.trl"), "0 1");
    EXPECT_EQ(Contents(game / "CASTLE.trl"), castle);
    EXPECT_EQ(Contents(game / "credits.txt"), credits);
    std::ofstream(game / "credits.txt") << stand_in;  // the uninstaller takes it out too

    {
        Other running;
        ASSERT_TRUE(running.Start(L"--game", true));
        fs::remove(game / "README.txt");
        EXPECT_EQ(install(), 2u);
        EXPECT_EQ(uninstall(), 2u);
        EXPECT_FALSE(fs::exists(game / "README.txt"));
        EXPECT_TRUE(fs::exists(game / "tileriot.exe"));
    }

    std::ofstream(game / "IntHiScores.dat") << "scores";
    EXPECT_EQ(UninstallNamingKept(game),
              L"These files of yours are kept in " + game.wstring() +
                  L":\r\n    IntHiScores.dat\r\n    IntLvl01.trl\r\n    Mine.trl");
    fs::remove(game / "uninstall.exe");  // run in place, it cannot take itself out
    EXPECT_EQ(std::distance(fs::directory_iterator(game), {}), 3);  // only these:
    for (const char *kept : {"IntHiScores.dat", "IntLvl01.trl", "Mine.trl"}) {
        EXPECT_TRUE(fs::exists(game / kept)) << kept;
    }
}

// Tells the test that started this program that it holds its own, and keeps it ms; 0.
int Hold(DWORD ms) {
    SetEvent(OpenEventW(EVENT_MODIFY_STATE, FALSE, HELD));
    Sleep(ms);
    return 0;
}

}  // namespace

// The tests work in a directory of their own, which each case empties. Started
// by them (see Other), this program holds what they need held instead, for MS
// milliseconds, and ends with 0 if all went as it should.
int main(int argc, char **argv) {
    const std::string role = argc > 1 ? argv[1] : "";
    if (argc == 4 && (role == "--hold" || role == "--keep")) {
        // --hold MS FILE: FILE, sharing nothing; --keep: all but its removal
        const DWORD share = role == "--hold" ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
        const HANDLE file = CreateFileA(argv[3], GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, 0);
        Hold(std::atoi(argv[2]));
        return CloseHandle(file) ? 0 : 2;
    }
    if (argc == 4 && role == "--lock") {  // --lock MS FILE: its lock; FILE unchanged
        const std::string path = argv[3], before = Contents(path);
        std::ofstream(path + ".lock");  // marked read-only, it locks all the same
        SetFileAttributesA((path + ".lock").c_str(), FILE_ATTRIBUTE_READONLY);
        const ReplaceLock lock(argv[3]);
        Hold(std::atoi(argv[2]));
        return lock.Handle != -1 && Contents(path) == before ? 0 : 2;
    }
    if (argc == 4 && role == "--score") {  // --score NAME SCORE: a copy's game ends so
        LoadHighScores();
        const char *unsaved;
        return EnterScore(GAME_INTERNAL, argv[2], std::atoi(argv[3]), unsaved) && !unsaved ? 0 : 2;
    }
    if (argc == 2 && role == "--game") {  // what a running game holds, in its own folder
        EnterGameFolder();
        return fs::current_path() == Self().parent_path() ? Hold(INFINITE) : 2;
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
