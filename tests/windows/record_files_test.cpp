// The game's record files on Windows under faults, each made to happen (under
// Wine in the tests): failures at every write, flush, move and lock; a
// read-only file or a directory in the way; copies saving at the same moment.

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>

#include "tests/unit/record_faults.h"

// Linked with --wrap for these calls (Windows' own through their import
// pointers): the Nth call of the armed kind fails.
namespace {
using namespace record_faults;
enum Call { FWRITE, FLUSH, MOVE, LOCK, CALL_KINDS };
}  // namespace

extern "C" {
size_t __real_fwrite(const void *data, size_t size, size_t count, FILE *file);
size_t __wrap_fwrite(const void *data, size_t size, size_t count, FILE *file) {
    return Fails(FWRITE) ? 0 : __real_fwrite(data, size, count, file);
}
extern decltype(&FlushFileBuffers) __real___imp_FlushFileBuffers;
extern decltype(&MoveFileExW) __real___imp_MoveFileExW;
extern decltype(&LockFileEx) __real___imp_LockFileEx;
decltype(&FlushFileBuffers) __wrap___imp_FlushFileBuffers = [](HANDLE file) -> BOOL {
    return !Fails(FLUSH) && __real___imp_FlushFileBuffers(file);
};
decltype(&MoveFileExW) __wrap___imp_MoveFileExW = [](LPCWSTR from, LPCWSTR to,
                                                     DWORD flags) -> BOOL {
    return !Fails(MOVE) && __real___imp_MoveFileExW(from, to, flags);
};
decltype(&LockFileEx) __wrap___imp_LockFileEx = [](HANDLE file, DWORD flags, DWORD reserved,
                                                   DWORD low, DWORD high, LPOVERLAPPED at) -> BOOL {
    return !Fails(LOCK) && __real___imp_LockFileEx(file, flags, reserved, low, high, at);
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

TEST(RecordFilesTest, AFailureAtAnyStepLeavesTheOldBytesOrTheNew) {
    EXPECT_GE(FailEachCallInTurn(CALL_KINDS, -1, LayOut, Contents, [] { return 0; })[0], 1);
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

// Copies of the game (this test, started again with --copy N) each save
// games under names of their own at the same moment: none is lost.
constexpr int COPIES = 4, SAVES = 10;
constexpr const wchar_t *GO = L"TileRiotCopiesGo";  // set once every copy is started

int SaveAsCopy(const char *copy) {
    WaitForSingleObject(OpenEventW(SYNCHRONIZE, FALSE, GO), INFINITE);
    for (int save = 0; save < SAVES; ++save) {
        const std::string name = "C" + std::string(copy) + "S" + std::to_string(save);
        if (!StoreSavedGame(record_bytes::Settings(name.c_str(), 1, save, 2))) {
            return 2;
        }
    }
    return 0;
}

TEST(RecordFilesTest, CopiesSavingAtOnceLoseNothing) {
    LayOut({});
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const HANDLE go = CreateEventW(nullptr, TRUE, FALSE, GO);
    std::vector<PROCESS_INFORMATION> copies(COPIES);
    for (int copy = 0; copy < COPIES; ++copy) {
        std::wstring line = L"copy --copy " + std::to_wstring(copy);
        STARTUPINFOW start = {};
        start.cb = sizeof start;
        ASSERT_TRUE(CreateProcessW(self, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &start, &copies[copy]));
    }
    SetEvent(go);
    for (const PROCESS_INFORMATION &copy : copies) {
        DWORD status = 1;
        WaitForSingleObject(copy.hProcess, INFINITE);
        GetExitCodeProcess(copy.hProcess, &status);
        EXPECT_EQ(status, 0u);
    }
    ExpectEverySave(Contents("plyrsettings.dat"), COPIES * SAVES);
}

}  // namespace

// The tests and their copies work in a directory of their own, which each case empties.
int main(int argc, char **argv) {
    if (argc == 3 && std::string(argv[1]) == "--copy") {
        return SaveAsCopy(argv[2]);
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
