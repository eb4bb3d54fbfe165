// The game's record files on Windows under faults, each made to happen (under
// Wine in the tests): failures at every write, flush, move and lock; a
// read-only file or a directory in the way; copies saving at the same moment.
// After each, the files hold their old bytes or their new ones, whole, and no
// temporary file is left.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "records/high_scores.h"
#include "records/saved_games.h"
#include "tests/unit/record_bytes.h"

// The test is linked with --wrap for these calls (the Windows ones through
// their import pointers): the Nth call of the armed kind fails.
namespace {
enum Call { FWRITE, FLUSH, MOVE, LOCK, CALL_KINDS };
int Armed = -1, FailAt = 0, Seen = 0;  // the failing kind, which call fails, calls so far
bool Fails(Call call) {
    return call == Armed && ++Seen == FailAt;
}
using FlushCall = BOOL(WINAPI *)(HANDLE);
using MoveCall = BOOL(WINAPI *)(LPCWSTR, LPCWSTR, DWORD);
using LockCall = BOOL(WINAPI *)(HANDLE, DWORD, DWORD, DWORD, DWORD, LPOVERLAPPED);
}  // namespace

extern "C" {
size_t __real_fwrite(const void *data, size_t size, size_t count, FILE *file);
size_t __wrap_fwrite(const void *data, size_t size, size_t count, FILE *file) {
    return Fails(FWRITE) ? 0 : __real_fwrite(data, size, count, file);
}
extern FlushCall __real___imp_FlushFileBuffers;
extern MoveCall __real___imp_MoveFileExW;
extern LockCall __real___imp_LockFileEx;
FlushCall __wrap___imp_FlushFileBuffers = [](HANDLE file) -> BOOL {
    return !Fails(FLUSH) && __real___imp_FlushFileBuffers(file);
};
MoveCall __wrap___imp_MoveFileExW = [](LPCWSTR from, LPCWSTR to, DWORD flags) -> BOOL {
    return !Fails(MOVE) && __real___imp_MoveFileExW(from, to, flags);
};
LockCall __wrap___imp_LockFileEx = [](HANDLE file, DWORD flags, DWORD reserved, DWORD low,
                                      DWORD high, LPOVERLAPPED at) -> BOOL {
    return !Fails(LOCK) && __real___imp_LockFileEx(file, flags, reserved, low, high, at);
};
}

namespace {

using record_bytes::Settings;
namespace fs = std::filesystem;

constexpr const char *INTERNAL = "IntHiScores.dat", *EXTERNAL = "ExtHiScores.dat",
                     *SAVED = "plyrsettings.dat";

std::string Saved(const char *name, int32_t score) {
    return record_bytes::SavedGame(name, 1, score, GAME_INTERNAL, 2);
}

// A whole table: one row of its own above nine default rows.
std::string TableBytes(const char *name, int32_t score) {
    std::string bytes = record_bytes::HighScore(name, score);
    while (bytes.size() < HIGH_SCORE_ROWS * 36) {
        bytes += record_bytes::HighScore("Sample Player", 1);
    }
    return bytes;
}

std::string Contents(const fs::path &path) {
    if (fs::is_directory(path)) {
        return "(directory)";
    }
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return file ? bytes.str() : "(missing)";
}

// Empties the working directory, then makes "name=bytes" files and "name/" directories.
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

std::set<std::string> TempFiles() {
    std::set<std::string> names;
    for (const auto &entry : fs::directory_iterator(".")) {
        if (entry.path().extension() == ".tmp") {
            names.insert(entry.path().filename().string());
        }
    }
    return names;
}

bool StoreAnn() {
    return StoreSavedGame(Settings("ANN", 1, 99, 2));
}

// Both tables with NAME's score above the defaults.
bool StoreTables(const char *name = "NEW", int32_t score = 70) {
    LoadHighScores();
    InternalHighScores.fill({"Sample Player", 1});
    InternalHighScores[0] = {};
    std::snprintf(InternalHighScores[0].Name, 32, "%s", name);
    InternalHighScores[0].Score = score;
    ExternalHighScores = InternalHighScores;
    return StoreHighScores();
}

// Each test works in an empty directory of its own.
class RecordFilesTest : public testing::Test {
protected:
    void SetUp() override {
        Directory =
            fs::temp_directory_path() / ("tileriot-test-" + std::to_string(GetCurrentProcessId()));
        fs::create_directories(Directory);
        fs::current_path(Directory);
    }
    void TearDown() override {
        fs::current_path(Directory.parent_path());
        LayOut({});
        fs::remove_all(Directory);
    }
    fs::path Directory;
};

TEST_F(RecordFilesTest, AFailureAtAnyStepLeavesTheOldBytesOrTheNew) {
    const std::string bob = Saved("BOB", 10), ann = Saved("ann", 5), tail(20, 'q');
    struct Case {
        std::vector<std::string> layout;
        std::vector<std::pair<std::string, std::string>> after;  // paths and their new bytes
        bool (*store)();
    };
    const Case cases[] = {
        {{INTERNAL + ("=" + TableBytes("OLD", 7)), EXTERNAL + ("=" + TableBytes("OLD", 8))},
         {{INTERNAL, TableBytes("NEW", 70)}, {EXTERNAL, TableBytes("NEW", 70)}},
         [] { return StoreTables(); }},
        {{SAVED + ("=" + bob + ann + tail)}, {{SAVED, bob + Saved("ANN", 99) + tail}}, StoreAnn},
        {{}, {{SAVED, Saved("ANN", 99)}}, StoreAnn},
    };
    int injected = 0;
    for (const Case &c : cases) {
        for (int call = 0; call < CALL_KINDS; ++call) {
            for (int n = 1;; ++n) {
                SCOPED_TRACE(c.after[0].first + ": call " + std::to_string(n) + " of kind " +
                             std::to_string(call) + " fails");
                LayOut(c.layout);
                std::vector<std::string> before;
                for (const auto &[path, bytes] : c.after) {
                    before.push_back(Contents(path));
                }
                Armed = call, FailAt = n, Seen = 0;
                const bool stored = c.store();
                Armed = -1;
                const bool failed = Seen >= n;
                EXPECT_NE(stored, failed);
                for (size_t i = 0; i < c.after.size(); ++i) {
                    const std::string now = Contents(c.after[i].first);
                    EXPECT_TRUE(now == c.after[i].second || (!stored && now == before[i])) << i;
                }
                EXPECT_EQ(TempFiles(), std::set<std::string>{});
                if (!failed) {
                    break;
                }
                ++injected;
            }
        }
    }
    EXPECT_GE(injected, 12) << "the calls were not wrapped";
}

// A read-only file, or a directory, where a record file should be is never
// replaced: the store fails and leaves it as it was.
TEST_F(RecordFilesTest, AReadOnlyFileOrADirectoryIsNeverReplaced) {
    const std::string table = INTERNAL + ("=" + TableBytes("OLD", 7));
    const std::string games = SAVED + ("=" + Saved("BOB", 10));
    const std::pair<std::string, bool (*)()> cases[] = {
        {table, [] { return StoreTables(); }},
        {INTERNAL, [] { return StoreTables(); }},
        {games, StoreAnn},
        {SAVED, StoreAnn},
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
        if (!StoreSavedGame(Settings(name.c_str(), 1, save, 2))) {
            return 2;
        }
    }
    return 0;
}

TEST_F(RecordFilesTest, CopiesSavingAtOnceLoseNothing) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const HANDLE go = CreateEventW(nullptr, TRUE, FALSE, GO);
    std::vector<PROCESS_INFORMATION> copies(COPIES);
    for (int copy = 0; copy < COPIES; ++copy) {
        std::wstring line = L"\"" + std::wstring(self) + L"\" --copy " + std::to_wstring(copy);
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
        CloseHandle(copy.hProcess);
        CloseHandle(copy.hThread);
    }
    const std::string file = Contents(SAVED);
    std::set<std::string> names;
    for (std::size_t at = 0; at < file.size(); at += SAVED_GAME_BYTES) {
        names.insert(file.substr(at, 32).c_str());
    }
    EXPECT_EQ(file.size(), COPIES * SAVES * SAVED_GAME_BYTES);
    EXPECT_EQ(names.size(), static_cast<size_t>(COPIES * SAVES));
    EXPECT_EQ(TempFiles(), std::set<std::string>{});
}

}  // namespace

int main(int argc, char **argv) {
    if (argc == 3 && std::string(argv[1]) == "--copy") {
        return SaveAsCopy(argv[2]);
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
