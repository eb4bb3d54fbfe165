// The game's own files under faults, each made to happen: failures at every
// write, flush, rename and lock; a full disk; directories, FIFOs and links in
// the way; files that cannot be read or written; a second copy saving at the
// same moment; a damaged data file. After each, the files hold their old
// bytes or their new ones, whole, and no temporary file is left.

#include <allegro.h>
#include <dirent.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "game/level_grid.h"
#include "records/high_scores.h"
#include "records/saved_games.h"
#include "shell/game_data.h"
#include "shell/startup.h"
#include "tests/harness/harness.h"
#include "tests/unit/record_bytes.h"
#include "ui/credits.h"

// --- Failures injected at link time ---------------------------------------
// The test binary is linked with --wrap for these calls; the Nth call of the
// armed kind fails as a worn-out disk would make it fail.

namespace {
enum Call { FWRITE, FSYNC, RENAME, FLOCK, CALL_KINDS };
const char *const CALL_NAMES[] = {"fwrite", "fsync", "rename", "flock"};
int Armed = -1;  // the kind of call that fails; -1 for none
int FailAt = 0;  // which call of that kind fails, counted from 1
int Seen = 0;    // calls of the armed kind so far

bool Fails(Call call) {
    return call == Armed && ++Seen == FailAt;
}
}  // namespace

extern "C" {
size_t __real_fwrite(const void *data, size_t size, size_t count, FILE *file);
int __real_fsync(int fd);
int __real_rename(const char *from, const char *to);
int __real_flock(int fd, int operation);

size_t __wrap_fwrite(const void *data, size_t size, size_t count, FILE *file) {
    if (Fails(FWRITE)) {
        errno = EIO;
        return 0;
    }
    return __real_fwrite(data, size, count, file);
}
int __wrap_fsync(int fd) {
    if (Fails(FSYNC)) {
        errno = EIO;
        return -1;
    }
    return __real_fsync(fd);
}
int __wrap_rename(const char *from, const char *to) {
    if (Fails(RENAME)) {
        errno = EIO;
        return -1;
    }
    return __real_rename(from, to);
}
int __wrap_flock(int fd, int operation) {
    if (Fails(FLOCK)) {
        errno = ENOLCK;
        return -1;
    }
    return __real_flock(fd, operation);
}
}

namespace {

using record_bytes::Settings;

constexpr const char *INTERNAL = "IntHiScores.dat";
constexpr const char *EXTERNAL = "ExtHiScores.dat";
constexpr const char *SAVED = "plyrsettings.dat";
const std::string MISSING = "(missing)";

std::string Saved(const char *name, int32_t score) {
    return record_bytes::SavedGame(name, 1, score, GAME_INTERNAL, 2);
}

// A whole table: one row of its own above nine default rows.
HighScoreTable Table(const char *name, int32_t score) {
    HighScoreTable table;
    table.fill({"Sample Player", 1});
    std::snprintf(table[0].Name, sizeof table[0].Name, "%s", name);
    table[0].Score = score;
    return table;
}

std::string TableBytes(const char *name, int32_t score) {
    std::string bytes = record_bytes::HighScore(name, score);
    for (int row = 1; row < HIGH_SCORE_ROWS; ++row) {
        bytes += record_bytes::HighScore("Sample Player", 1);
    }
    return bytes;
}

std::string ReadBytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string &path, const std::string &bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// What stands at a path: a file's bytes, or the kind of thing that is there.
std::string Contents(const std::string &path) {
    struct stat status;
    if (lstat(path.c_str(), &status) != 0) {
        return MISSING;
    }
    if (S_ISDIR(status.st_mode)) {
        return "(directory)";
    }
    if (S_ISFIFO(status.st_mode)) {
        return "(fifo)";
    }
    if (S_ISLNK(status.st_mode)) {
        return "(link)";
    }
    return ReadBytes(path);
}

// The temporary files left in a directory.
std::set<std::string> TempFiles(const char *directory = ".") {
    std::set<std::string> names;
    if (DIR *dir = opendir(directory)) {
        while (const dirent *entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".tmp") == 0) {
                names.insert(name);
            }
        }
        closedir(dir);
    }
    return names;
}

// Empties the working directory and lays out the given files.
void LayOut(const std::vector<std::pair<std::string, std::string>> &files) {
    if (DIR *dir = opendir(".")) {
        while (const dirent *entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != ".." && name != "tr_data2.dat") {
                std::filesystem::remove_all(name);
            }
        }
        closedir(dir);
    }
    for (const auto &[name, bytes] : files) {
        if (bytes != MISSING) {
            WriteBytes(name, bytes);
        }
    }
}

// Becomes the unprivileged user "nobody" (in a child process), so that file
// permission bits count; a test run by anyone else already has them count.
void BecomeNobody() {
    if (geteuid() != 0) {
        return;
    }
    const passwd *nobody = getpwnam("nobody");
    if (!nobody || setgroups(0, nullptr) != 0 || setgid(nobody->pw_gid) != 0 ||
        setuid(nobody->pw_uid) != 0) {
        std::_Exit(99);
    }
}

// Runs a store with the file size limited to limit bytes: a full disk.
bool WithDiskFullAt(rlim_t limit, const std::function<bool()> &store) {
    rlimit previous;
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit full = previous;
    full.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &full);
    auto handler = signal(SIGXFSZ, SIG_IGN);
    const bool stored = store();
    signal(SIGXFSZ, handler);
    setrlimit(RLIMIT_FSIZE, &previous);
    return stored;
}

// Runs copies of a store in as many forked processes, all let go at once.
void AtTheSameMoment(int copies, const std::function<void(int)> &store) {
    int gate[2];
    ASSERT_EQ(pipe(gate), 0);
    std::vector<pid_t> children;
    for (int copy = 0; copy < copies; ++copy) {
        const pid_t child = fork();
        if (child == 0) {
            close(gate[1]);
            char go;
            const bool released = read(gate[0], &go, 1) == 0;  // the end of the pipe
            store(copy);
            std::_Exit(released ? 0 : 1);
        }
        children.push_back(child);
    }
    close(gate[0]);
    close(gate[1]);  // every copy starts now
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
}

class RecordFilesTest : public harness::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        InternalHighScores = ExternalHighScores = {};
    }
};

// Every store under a failure at each of its writes, flushes, renames and
// locks in turn: each file is left whole, old or new, with no stand-in.
TEST_F(RecordFilesTest, AFailureAtAnyStepLeavesTheOldBytesOrTheNew) {
    const std::string bob = Saved("BOB", 10), ann = Saved("ann", 5), carl = Saved("CARL", 30);
    const std::string tail(20, 'q');
    struct Change {
        std::string file, before, after;
    };
    struct Case {
        const char *what;
        std::vector<Change> files;
        std::function<bool()> store;
    };
    const std::vector<Case> cases = {
        {"high scores",
         {{INTERNAL, TableBytes("OLD", 7), TableBytes("NEW", 70)},
          {EXTERNAL, TableBytes("OLDER", 8), TableBytes("NEWER", 80)}},
         [] {
             LoadHighScores();
             InternalHighScores = Table("NEW", 70);
             ExternalHighScores = Table("NEWER", 80);
             return StoreHighScores();
         }},
        {"replace a saved game",
         {{SAVED, bob + ann + carl + tail, bob + Saved("ANN", 99) + carl + tail}},
         [] { return StoreSavedGame(Settings("ANN", 1, 99, 2)); }},
        {"append a saved game",
         {{SAVED, bob + ann + tail, bob + ann + Saved("DAN", 99)}},
         [] { return StoreSavedGame(Settings("DAN", 1, 99, 2)); }},
        {"the first saved game",
         {{SAVED, MISSING, Saved("ANN", 99)}},
         [] { return StoreSavedGame(Settings("ANN", 1, 99, 2)); }},
    };
    int injected = 0;
    for (const Case &c : cases) {
        for (int call = 0; call < CALL_KINDS; ++call) {
            for (int n = 1;; ++n) {
                SCOPED_TRACE(std::string(c.what) + ", " + CALL_NAMES[call] + " call " +
                             std::to_string(n) + " fails");
                std::vector<std::pair<std::string, std::string>> before;
                for (const Change &change : c.files) {
                    before.emplace_back(change.file, change.before);
                }
                LayOut(before);
                Armed = call, FailAt = n, Seen = 0;
                const bool stored = c.store();
                Armed = -1;
                const bool failed = Seen >= n;
                EXPECT_NE(stored, failed);
                for (const Change &change : c.files) {
                    const std::string now = Contents(change.file);
                    EXPECT_TRUE(now == change.before || now == change.after) << change.file;
                    if (stored) {
                        EXPECT_EQ(now, change.after) << change.file;
                    }
                }
                EXPECT_EQ(TempFiles(), std::set<std::string>{});
                if (!failed) {
                    break;
                }
                ++injected;
            }
        }
    }
    EXPECT_GE(injected, CALL_KINDS * static_cast<int>(cases.size())) << "calls not wrapped";
}

// Faults a player may meet while a store goes on, one row each: what stands
// in the way, whether the store goes through, and what is left afterwards.
TEST_F(RecordFilesTest, FaultsInTheWayOfAStore) {
    const std::string bob = Saved("BOB", 10), ann = Saved("ANN", 99);
    const std::string old_table = TableBytes("OLD", 7), new_table = TableBytes("NEW", 70);
    const auto store_scores = [] {
        LoadHighScores();
        InternalHighScores = ExternalHighScores = Table("NEW", 70);
        return StoreHighScores();
    };
    const auto store_ann = [] { return StoreSavedGame(Settings("ANN", 1, 99, 2)); };
    struct Case {
        const char *what;
        std::function<void()> arrange;
        std::function<bool()> store;
        bool stored;
        std::vector<std::pair<std::string, std::string>> after;  // paths and what stands there
    };
    const std::vector<Case> cases = {
        {"a directory at the saved games",
         [] { mkdir(SAVED, 0755); },
         store_ann,
         false,
         {{SAVED, "(directory)"}}},
        {"a FIFO at the saved games",
         [] { mkfifo(SAVED, 0644); },
         store_ann,
         false,
         {{SAVED, "(fifo)"}}},
        {"a full disk under the saved games",
         [&] { WriteBytes(SAVED, bob + bob + bob); },
         [&] { return WithDiskFullAt(100, store_ann); },
         false,
         {{SAVED, bob + bob + bob}}},
        {"a full disk under the high scores",
         [&] {
             WriteBytes(INTERNAL, old_table);
             WriteBytes(EXTERNAL, old_table);
         },
         [&] { return WithDiskFullAt(300, store_scores); },
         false,
         {{INTERNAL, old_table}, {EXTERNAL, old_table}}},
        {"a linked saved-game file",
         [&] {
             mkdir("elsewhere", 0755);
             WriteBytes("elsewhere/games.dat", bob);
             symlink("elsewhere/games.dat", SAVED);
         },
         store_ann,
         true,
         {{SAVED, "(link)"}, {"elsewhere/games.dat", bob + ann}}},
        {"a link to a saved-game file not yet made",
         [] {
             mkdir("elsewhere", 0755);
             symlink("../elsewhere/games.dat", "elsewhere/link.dat");
             symlink("elsewhere/link.dat", SAVED);
         },
         store_ann,
         true,
         {{SAVED, "(link)"}, {"elsewhere/games.dat", ann}}},
        {"linked high-score files",
         [&] {
             mkdir("elsewhere", 0755);
             WriteBytes("elsewhere/int.dat", old_table);
             symlink("elsewhere/int.dat", INTERNAL);
             symlink(std::filesystem::absolute("elsewhere/ext.dat").c_str(), EXTERNAL);
         },
         store_scores,
         true,
         {{INTERNAL, "(link)"},
          {EXTERNAL, "(link)"},
          {"elsewhere/int.dat", new_table},
          {"elsewhere/ext.dat", new_table}}},
        {"stand-ins left by a crashed run",
         [&] {
             WriteBytes("victim", bob);
             symlink("victim", "plyrsettings.dat.tmp");
             WriteBytes("plyrsettings.dat.1-0.tmp", "half a record");
         },
         store_ann,
         true,
         {{SAVED, ann}, {"victim", bob}, {"plyrsettings.dat.1-0.tmp", "half a record"}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        LayOut({});
        c.arrange();
        const std::set<std::string> leftovers = TempFiles();
        EXPECT_EQ(c.store(), c.stored);
        for (const auto &[path, contents] : c.after) {
            EXPECT_EQ(Contents(path), contents) << path;
        }
        EXPECT_EQ(TempFiles(), leftovers);
        EXPECT_EQ(TempFiles("elsewhere"), std::set<std::string>{});
    }
}

// A file that is replaced keeps its permission bits.
TEST_F(RecordFilesTest, AReplacedFileKeepsItsPermissionBits) {
    WriteBytes(SAVED, Saved("BOB", 10));
    WriteBytes(INTERNAL, TableBytes("OLD", 7));
    chmod(SAVED, 0604);
    chmod(INTERNAL, 0640);
    ASSERT_TRUE(StoreSavedGame(Settings("ANN", 1, 99, 2)));
    LoadHighScores();
    ASSERT_TRUE(StoreHighScores());
    struct stat status;
    ASSERT_EQ(stat(SAVED, &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0604u);
    ASSERT_EQ(stat(INTERNAL, &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
}

// Copies of the game saving at once, each under names of its own: no save
// is lost and every record stays whole.
TEST_F(RecordFilesTest, CopiesSavingAtOnceLoseNothing) {
    constexpr int COPIES = 4, SAVES = 6;
    WriteBytes(SAVED, Saved("FIRST", 1));
    AtTheSameMoment(COPIES, [](int copy) {
        for (int save = 0; save < SAVES; ++save) {
            const std::string name = "C" + std::to_string(copy) + "S" + std::to_string(save);
            if (!StoreSavedGame(Settings(name.c_str(), 1, save, 2))) {
                std::_Exit(2);
            }
        }
    });
    const std::string file = Contents(SAVED);
    ASSERT_EQ(file.size(), (1 + COPIES * SAVES) * SAVED_GAME_BYTES);
    std::set<std::string> names;
    for (std::size_t at = 0; at < file.size(); at += SAVED_GAME_BYTES) {
        names.insert(file.substr(at, 32).c_str());
    }
    EXPECT_EQ(names.size(), 1u + COPIES * SAVES);
    EXPECT_EQ(TempFiles(), std::set<std::string>{});
}

// Copies writing their high scores at once: the tables are one copy's, whole.
TEST_F(RecordFilesTest, CopiesWritingTablesAtOnceLeaveOneWholeTable) {
    AtTheSameMoment(4, [](int copy) {
        InternalHighScores = ExternalHighScores = Table("COPY", copy);
        for (int round = 0; round < 10; ++round) {
            if (!StoreHighScores()) {
                std::_Exit(2);
            }
        }
    });
    std::set<std::string> tables;
    for (int copy = 0; copy < 4; ++copy) {
        tables.insert(TableBytes("COPY", copy));
    }
    EXPECT_EQ(tables.count(Contents(INTERNAL)), 1u);
    EXPECT_EQ(tables.count(Contents(EXTERNAL)), 1u);
    EXPECT_EQ(TempFiles(), std::set<std::string>{});
}

// A data file whose objects are too few, or of the wrong kind at an index.
TEST(GameDataTest, OnlySevenObjectsOfTheRightKindsMakeTheGameData) {
    const int B = DAT_BITMAP, F = DAT_FONT;
    struct Case {
        const char *what;
        std::vector<int> kinds;
        bool complete;
    };
    const std::vector<Case> cases = {
        {"the seven objects", {B, B, F, F, B, F, F}, true},
        {"more after them", {B, B, F, F, B, F, F, B}, true},
        {"none", {}, false},
        {"the last one missing", {B, B, F, F, B, F}, false},
        {"a font where the ball belongs", {F, B, F, F, B, F, F}, false},
        {"a bitmap where a font belongs", {B, B, F, F, B, F, B}, false},
        {"some other kind", {B, B, F, DAT_DATA, B, F, F}, false},
    };
    for (const Case &c : cases) {
        std::vector<DATAFILE> data;
        for (int kind : c.kinds) {
            data.push_back({nullptr, kind, 0, nullptr});
        }
        data.push_back({nullptr, DAT_END, 0, nullptr});
        EXPECT_EQ(IsCompleteGameData(data.data()), c.complete) << c.what;
    }
}

// The faults of a running game: each runs on the real start-up, some in a
// child that has become an unprivileged user, where a file's permission
// bits stop it as they would stop a player.
class RecordFilesGameTest : public harness::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        chmod(".", 0777);
    }
    static bool NoticeShown(size_t frame, const char *line, int row) {
        FONT *f = GameFont(TEXT_FONT);
        return frame < harness::Frames().size() &&
               harness::ShowsText(harness::Frames()[frame], f, line, 10,
                                  60 + row * (text_height(f) + 5), makecol(123, 231, 0));
    }
};

// A high-score file that could not be read at start, or cannot be written,
// is never replaced: the game ends with that file's message and the other
// file is left as it is.
TEST_F(RecordFilesGameTest, AFileThatCannotBeReadOrWrittenIsNeverReplaced) {
    const std::string old_table = TableBytes("OLD", 7);
    struct Case {
        const char *what;
        std::function<void()> arrange;
        bool as_nobody;
        int32_t loaded;  // the score of row 0 once loaded: 1 for the defaults
        const char *message;
        std::string internal_after;
    };
    const std::vector<Case> cases = {
        {"a directory", [] { mkdir(INTERNAL, 0755); }, false, 1,
         "Unable to find IntHiScores.dat to save to!", "(directory)"},
        {"a FIFO", [] { mkfifo(INTERNAL, 0666); }, false, 1,
         "Unable to find IntHiScores.dat to save to!", "(fifo)"},
        {"a file that cannot be read",
         [&] { WriteBytes(INTERNAL, old_table), chmod(INTERNAL, 0222); }, true, 1,
         "Unable to find IntHiScores.dat to save to!", old_table},
        {"a read-only file", [&] { WriteBytes(INTERNAL, old_table), chmod(INTERNAL, 0444); }, true,
         7, "Unable to find IntHiScores.dat to save to!", old_table},
        {"both files read-only",
         [&] {
             WriteBytes(INTERNAL, old_table), chmod(INTERNAL, 0444);
             WriteBytes(EXTERNAL, old_table), chmod(EXTERNAL, 0444);
         },
         true, 7, "Unable to find IntHiScores.dat or ExtHiScores.dat to save to!", old_table},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        LayOut({{EXTERNAL, old_table}});
        chmod(EXTERNAL, 0666);
        c.arrange();
        EXPECT_EXIT(
            {
                if (c.as_nobody) {
                    BecomeNobody();
                }
                LoadHighScores();
                if (InternalHighScores[0].Score != c.loaded) {
                    std::_Exit(3);
                }
                ExitGame(0);
            },
            testing::ExitedWithCode(1), std::string("MESSAGE: ") + c.message);
        EXPECT_EQ(Contents(INTERNAL), c.internal_after);
        EXPECT_EQ(Contents(EXTERNAL), old_table);
        EXPECT_EQ(TempFiles(), std::set<std::string>{});
    }
}

// A saved-game file the player cannot write is left alone, with the notice.
TEST_F(RecordFilesGameTest, AReadOnlySavedGameFileIsNotSaved) {
    const std::string bob = Saved("BOB", 10);
    WriteBytes(SAVED, bob);
    chmod(SAVED, 0444);
    EXPECT_EXIT(
        {
            BecomeNobody();
            std::_Exit(StoreSavedGame(Settings("ANN", 1, 99, 2)) ? 1 : 0);
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(Contents(SAVED), bob);
    EXPECT_EQ(TempFiles(), std::set<std::string>{});
}

// Credits that are there but cannot be read end the screen at once and are
// never replaced by the placeholder.
TEST_F(RecordFilesGameTest, CreditsThatCannotBeReadAreLeftAlone) {
    mkfifo("credits.txt", 0666);
    ShowCredits();
    EXPECT_TRUE(harness::Frames().empty());
    EXPECT_EQ(Contents("credits.txt"), "(fifo)");
    LayOut({{"credits.txt", "Made by us\n"}});
    chmod("credits.txt", 0200);
    EXPECT_EXIT(
        {
            BecomeNobody();
            ShowCredits();
            std::_Exit(harness::Frames().empty() ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(Contents("credits.txt"), "Made by us\n");
}

// A level name that is a FIFO or a directory is not a level: the notice, and
// back to the main menu, without waiting for a writer.
TEST_F(RecordFilesGameTest, AFifoOrDirectoryIsNotALevel) {
    struct Case {
        const char *name;
        std::function<void()> make;
    };
    const std::vector<Case> cases = {
        {"PIPE", [] { mkfifo("PIPE.trl", 0666); }},
        {"DIRS", [] { mkdir("DIRS.trl", 0755); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();  // a fresh start for each name
        c.make();
        const char *name = c.name;
        for (const char *c = name; *c; ++c) {
            harness::TapKey(KEY_A + (*c - 'A'));
        }
        harness::TapKey(KEY_ENTER);
        harness::TapKey(KEY_SPACE);  // leaves the notice
        try {
            LoadExternalLevel();
            ADD_FAILURE() << "loaded";
        } catch (...) {
            // The way back to the main menu leaves the loader by unwinding.
        }
        const size_t prompt = 35 + 5, notice = 34 + 1;
        EXPECT_EQ(harness::KeysLeft(), 0);
        EXPECT_EQ(harness::Frames().size(), prompt + notice);
        EXPECT_TRUE(NoticeShown(prompt + notice - 1, "appear to be a valid level.", 1));
    }
}

// A data file cut short is refused like a missing one.
TEST_F(RecordFilesGameTest, ADataFileCutShortEndsTheGame) {
    ShutDownSystem();
    std::filesystem::remove("tr_data2.dat");
    std::filesystem::copy_file(harness::RunDirectory() + "/tr_data2.dat", "tr_data2.dat");
    ASSERT_EQ(std::system("dat tr_data2.dat -d PANEL_FONT >/dev/null"), 0);
    EXPECT_EXIT(InitSystem(), testing::ExitedWithCode(1),
                "MESSAGE: Unable to load the game data file tr_data2.dat!");
}

}  // namespace
