// The game's record files: the high-score tables' exchange rule and what damaged files load as; and
// faults, each made to happen: failures at every write, flush, rename and lock; a full disk;
// directories, FIFOs and links in the way; files that cannot be read or written; copies saving at
// the same moment. After each, the files hold their old bytes or their new ones, whole, and no
// temporary file is left.

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "records/high_scores.h"
#include "records/saved_games.h"
#include "shell/startup.h"
#include "tests/harness/harness.h"
#include "tests/unit/record_bytes.h"
#include "tests/unit/record_faults.h"

// The test binary is linked with --wrap for these calls: the Nth call of
// the armed kind fails as a worn-out disk would make it fail.
namespace {
using namespace record_faults;
// A directory's fsync is a kind of its own: it comes after the rename.
enum Call { FREAD, FWRITE, FSYNC, DIRECTORY_SYNC, RENAME, FLOCK, FDOPEN, CALL_KINDS };
bool Fails(Call call, int error) {
    return record_faults::Fails(call) && (errno = error, true);
}
}  // namespace

extern "C" {
size_t __real_fread(void *data, size_t size, size_t count, FILE *file);
size_t __real_fwrite(const void *data, size_t size, size_t count, FILE *file);
int __real_fsync(int fd);
int __real_rename(const char *from, const char *to);
int __real_flock(int fd, int operation);
FILE *__real_fdopen(int fd, const char *mode);
size_t __wrap_fread(void *data, size_t size, size_t count, FILE *file) {
    if (Fails(FREAD, EIO)) {
        file->_flags |= _IO_ERR_SEEN;  // as the C library marks a stream whose read failed
        return 0;
    }
    return __real_fread(data, size, count, file);
}
size_t __wrap_fwrite(const void *data, size_t size, size_t count, FILE *file) {
    return Fails(FWRITE, EIO) ? 0 : __real_fwrite(data, size, count, file);
}
int __wrap_fsync(int fd) {
    struct stat status;
    const bool directory = fstat(fd, &status) == 0 && S_ISDIR(status.st_mode);
    return Fails(directory ? DIRECTORY_SYNC : FSYNC, EIO) ? -1 : __real_fsync(fd);
}
int __wrap_rename(const char *from, const char *to) {
    return Fails(RENAME, EIO) ? -1 : __real_rename(from, to);
}
int __wrap_flock(int fd, int operation) {
    return Fails(FLOCK, ENOLCK) ? -1 : __real_flock(fd, operation);
}
FILE *__wrap_fdopen(int fd, const char *mode) {
    return Fails(FDOPEN, ENOMEM) ? nullptr : __real_fdopen(fd, mode);
}
}

namespace {

using namespace harness;

constexpr const char *INTERNAL = "IntHiScores.dat", *EXTERNAL = "ExtHiScores.dat",
                     *SAVED = "plyrsettings.dat";

// Runs a store with the file size limited to limit bytes: a full disk.
bool WithDiskFullAt(rlim_t limit, bool (*store)()) {
    rlimit previous, full;
    getrlimit(RLIMIT_FSIZE, &previous);
    full = {limit, previous.rlim_max};
    setrlimit(RLIMIT_FSIZE, &full);
    auto handler = signal(SIGXFSZ, SIG_IGN);
    const bool stored = store();
    signal(SIGXFSZ, handler);
    setrlimit(RLIMIT_FSIZE, &previous);
    return stored;
}

// Becomes the unprivileged user "nobody" (in a child process), so that a
// file's permission bits stop it as they would stop a player.
void BecomeNobody() {
    const passwd *nobody = getpwnam("nobody");
    if (geteuid() == 0 && (!nobody || setgroups(0, nullptr) != 0 || setgid(nobody->pw_gid) != 0 ||
                           setuid(nobody->pw_uid) != 0)) {
        std::_Exit(99);
    }
}

// On the real start-up, so that a failed save ends the game as it would.
class RecordFilesTest : public GameTest {};

// The descriptors this process holds open.
int OpenDescriptors() {
    const auto entries = std::filesystem::directory_iterator("/proc/self/fd");
    return static_cast<int>(std::distance(begin(entries), end(entries)));
}

// With standard input closed, so that the first file a store opens, its lock included, is
// descriptor 0. Each wrapped call must fail as often as the stores make it.
TEST_F(RecordFilesTest, AFailureAtAnyStepLeavesTheOldBytesOrTheNew) {
    const int input = dup(0);
    close(0);
    const std::vector<int> injected =
        FailEachCallInTurn(CALL_KINDS, DIRECTORY_SYNC, LayOut, Contents, OpenDescriptors);
    dup2(input, 0), close(input);
    // fread, fwrite, fsync, a directory's fsync, rename, flock, fdopen
    EXPECT_EQ(injected, (std::vector<int>{26, 28, 6, 6, 6, 5, 10}));
}

// What a player may leave in the way of a store, and what is left after it.
TEST_F(RecordFilesTest, FaultsInTheWayOfAStore) {
    const std::string bob = Saved("BOB", 10), ann = Saved("ANN", 70000);
    const std::string old_table = TableBytes({{"OLD", 7}}),
                      new_table = TableBytes({{"NEW", 70}, {"OLD", 7}});
    const std::string absolute = std::filesystem::current_path() / "there/ext.dat";
    std::string deep = "d";  // a directory whose path leaves room for a file name of one letter
    while (deep.size() < PATH_MAX - 210) {
        deep += "/" + std::string(200, 'd');
    }
    deep += "/" + std::string(PATH_MAX - 4 - deep.size(), 'd');
    struct Case {
        std::vector<std::string> layout;
        bool (*store)();
        bool stored;
        std::vector<std::pair<std::string, std::string>> after;  // paths and what stands there
    };
    // clang-format off
    const Case cases[] = {
        {{"plyrsettings.dat/"}, StoreAnn, false, {{SAVED, "(directory)"}}},
        {{"plyrsettings.dat|"}, StoreAnn, false, {{SAVED, "(fifo)"}}},
        {{INTERNAL + ("=" + old_table)}, [] {  // made a FIFO, read by another program, after loading
             LoadHighScores();
             const int reader = (unlink(INTERNAL), mkfifo(INTERNAL, 0666), open(INTERNAL, O_RDONLY | O_NONBLOCK));
             const bool stored = StoreHighScores();
             return close(reader) == 0 && stored; }, false, {{INTERNAL, "(fifo)"}}},
        {{SAVED + ("=" + bob + bob)}, [] { return WithDiskFullAt(100, StoreAnn); }, false, {{SAVED, bob + bob}}},
        {{INTERNAL + ("=" + old_table), EXTERNAL + ("=" + old_table)},
         [] { return WithDiskFullAt(300, [] { return StoreTables(); }); }, false,
         {{INTERNAL, old_table}, {EXTERNAL, old_table}}},
        {{"there/games.dat=" + bob, "plyrsettings.dat->there/games.dat"}, StoreAnn, true,
         {{SAVED, "(link)"}, {"there/games.dat", bob + ann}}},
        {{"there/", "there/link.dat->../there/games.dat", "plyrsettings.dat->there/link.dat"}, StoreAnn, true,
         {{SAVED, "(link)"}, {"there/games.dat", ann}}},  // links to a file not yet made
        {{"there/int.dat=" + old_table, "IntHiScores.dat->there/int.dat", "ExtHiScores.dat->" + absolute},
         [] { return StoreTables(); }, true,
         {{INTERNAL, "(link)"}, {"there/int.dat", new_table}, {absolute, TableBytes({{"NEW", 70}})}}},
        {{"victim=" + bob, "plyrsettings.dat.tmp->victim", "plyrsettings.dat.1-0.tmp=half"}, StoreAnn, true,
         {{SAVED, ann}, {"victim", bob}, {"plyrsettings.dat.1-0.tmp", "half"}}},  // a crashed run's
        {{deep + "/g=" + bob, "plyrsettings.dat->" + deep + "/g"}, StoreAnn, false,  // no room for a temp name
         {{deep + "/g", bob}}},  // whose name, cut short, would be the file's own
        {{SAVED + ("=" + bob), INTERNAL + ("=" + old_table)}, [] {  // a replaced file keeps its bits
             chmod(SAVED, 0604), chmod(INTERNAL, 0640);
             struct stat saved, internal;
             return StoreAnn() && StoreTables() && stat(SAVED, &saved) == 0 && stat(INTERNAL, &internal) == 0 &&
                    (saved.st_mode & 07777) == 0604 && (internal.st_mode & 07777) == 0640; },
         true, {{SAVED, bob + ann}, {INTERNAL, new_table}}},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(c.layout.empty() ? "" : c.layout[0].substr(0, 60));
        LayOut(c.layout);
        LoadHighScores();  // a new run
        const std::set<std::string> leftovers = TempFiles();
        EXPECT_EQ(c.store(), c.stored);
        for (const auto &[path, contents] : c.after) {
            EXPECT_EQ(Contents(path), contents) << path.substr(0, 60);
        }
        EXPECT_EQ(TempFiles(), leftovers);
    }
}

// Copies of the game started together, each saving games under names of its
// own and entering scores, equal scores among them: no save is lost, and
// the table holds the best ten scores of all, each copy's names in its order.
TEST_F(RecordFilesTest, CopiesStoringAtOnceLoseNothing) {
    constexpr int COPIES = 4, SAVES = 6;
    int gate[2];
    ASSERT_EQ(pipe(gate), 0);
    LoadHighScores();  // every copy starts with the defaults
    for (int copy = 0; copy < COPIES; ++copy) {
        if (fork() == 0) {
            char go;
            close(gate[1]);
            static_cast<void>(read(gate[0], &go, 1));  // returns when the pipe closes
            for (int save = 0; save < SAVES; ++save) {
                const std::string name = "C" + std::to_string(copy) + "S" + std::to_string(save);
                const char *unsaved;
                if (!StoreSavedGame(record_bytes::Settings(name.c_str(), 1, save, 2)) ||
                    (EnterScore(GAME_INTERNAL, name.c_str(), save + 2, unsaved), unsaved)) {
                    std::_Exit(2);
                }
            }
            std::_Exit(0);
        }
    }
    close(gate[1]);  // every copy starts now
    for (int status, copy = 0; copy < COPIES; ++copy) {
        EXPECT_TRUE(wait(&status) > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    ExpectEverySave(Contents(SAVED), COPIES * SAVES);
    const std::string table = Contents(INTERNAL);
    std::set<std::string> names;
    for (int row = 0; row < HIGH_SCORE_ROWS; ++row) {  // 7 four times, 6 four times, 5 twice
        const std::string name = table.substr(36 * row, 32).c_str();
        names.insert(name);
        EXPECT_EQ(table.substr(36 * row, 36), record_bytes::HighScore(name, 7 - row / 4)) << row;
        EXPECT_EQ(name.substr(2), "S" + std::to_string(5 - row / 4)) << row;
    }
    EXPECT_EQ(names.size(), 10u);
}

// A score enters the table as another copy has left it on disk, not as this copy read it at start;
// one whose save failed is kept (the best ten of them) and entered again by the next store.
TEST_F(RecordFilesTest, ScoresEnterTheTableAsItStandsOnDisk) {
    struct Case {
        std::string disk;             // what another copy wrote once this one had read a:50
        std::vector<int32_t> scores;  // this copy's games, the first fail_renames not saved
        int fail_renames;
        std::string table;  // the file after a last store
    };
    const std::string a = std::string(31, 'A'), b60 = TableBytes({{"B", 60}, {a, 50}});
    // clang-format off
    const Case cases[] = {
        {b60, {55}, 0, TableBytes({{"B", 60}, {"N55", 55}, {a, 50}})},
        {b60, {55, 56}, 1, TableBytes({{"B", 60}, {"N56", 56}, {"N55", 55}, {a, 50}})},
        {b60, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, 11, TableBytes({{"B", 60}, {a, 50}, {"N12", 12},
            {"N11", 11}, {"N10", 10}, {"N9", 9}, {"N8", 8}, {"N7", 7}, {"N6", 6}, {"N5", 5}})},
        {Repeat(record_bytes::HighScore("B", 100), 10), {99}, 0, Repeat(record_bytes::HighScore("B", 100), 10)},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(c.scores.size());
        LayOut({INTERNAL + ("=" + TableBytes({{a, 50}}))});
        LoadHighScores();
        WriteFile(INTERNAL, c.disk);
        for (size_t game = 0; game < c.scores.size(); ++game) {
            Armed = game < static_cast<size_t>(c.fail_renames) ? RENAME : -1, FailAt = -1;
            const std::string name = "N" + std::to_string(c.scores[game]);
            const char *unsaved;
            EXPECT_EQ(EnterScore(GAME_INTERNAL, name.c_str(), c.scores[game], unsaved),
                      c.table != c.disk);
            EXPECT_EQ(unsaved != nullptr, Armed == RENAME);
        }
        Armed = -1;
        EXPECT_TRUE(StoreHighScores());
        std::string shown;  // the table shown is the file's
        for (const HighScoreEntry &row : InternalHighScores) {
            shown += record_bytes::HighScore(row.Name, row.Score);
        }
        EXPECT_EQ(Contents(INTERNAL) + shown, c.table + c.table);
    }
}

// A high-score file that cannot be read or written is never replaced and never stops the other: a
// score entered in the other table is saved at once, and the game ends naming the files it could
// not save. Bits are tried as an unprivileged user; failures are made at the store at exit.
TEST_F(RecordFilesTest, AFileThatCannotBeReadOrWrittenNeverStopsTheOther) {
    const std::string old_table = TableBytes({{"OLD", 7}});
    const std::string scored = TableBytes({{"NEW", 70}, {"OLD", 7}});
    struct Case {
        const char *path;  // the broken file; the score enters the other's table
        std::string made;  // "/" a directory, "|" a FIFO, "=" the old table
        mode_t mode;
        int32_t loaded;  // its row 0 once loaded: 1 for the defaults
        Call call = CALL_KINDS;
        int at = 0;         // the call that fails, of that kind, at exit
        bool both = false;  // the other file is read-only too
    };
    // clang-format off
    const Case cases[] = {
        {INTERNAL, "/", 0666, 1}, {EXTERNAL, "|", 0666, 1},
        {INTERNAL, "=", 0222, 1}, {EXTERNAL, "=", 0444, 7},  // cannot be read, cannot be written
        {INTERNAL, "=", 0444, 7, CALL_KINDS, 0, true},
        {INTERNAL, "=", 0666, 7, FREAD, 1}, {EXTERNAL, "=", 0666, 7, FREAD, 11},
        {INTERNAL, "=", 0666, 7, RENAME, 1}, {EXTERNAL, "=", 0666, 7, FSYNC, 2},
    };
    // clang-format on
    for (const Case &c : cases) {
        const char *other = c.path == INTERNAL ? EXTERNAL : INTERNAL;
        SCOPED_TRACE(c.path + c.made + std::to_string(c.call) + " " + std::to_string(c.at));
        LayOut({c.path + (c.made == "=" ? "=" + old_table : c.made), other + ("=" + old_table)});
        const std::string before = Contents(c.path), after = c.both ? old_table : scored;
        chmod(".", 0777);
        chmod(other, c.both ? 0444 : 0666);
        chmod(c.path, c.mode);
        const auto score_then_exit = [&] {
            BecomeNobody();
            LoadHighScores();
            const bool loaded =
                (c.path == INTERNAL ? InternalHighScores : ExternalHighScores)[0].Score == c.loaded;
            const char *unsaved;
            const bool stored = EnterScore(c.path == INTERNAL ? GAME_EXTERNAL : GAME_INTERNAL,
                                           "NEW", 70, unsaved) &&
                                (unsaved != nullptr) == c.both && Contents(other) == after;
            Armed = c.call, FailAt = c.at, Seen = 0;
            if (loaded && stored) {
                ExitGame(0);
            }
        };
        EXPECT_EXIT(score_then_exit(), testing::ExitedWithCode(1),
                    std::string("Unable to find ") +
                        (c.both ? "IntHiScores.dat or ExtHiScores.dat" : c.path) + " to save to!");
        EXPECT_EQ(Contents(c.path), before);
        EXPECT_EQ(Contents(other), after);
    }
}

using record_bytes::HighScore;

// A table as "name:score" rows, from a list of them ("name:score ...").
void SetTable(HighScoreTable &table, const std::string &rows) {
    table = {};
    std::istringstream in(rows);
    std::string name;
    for (HighScoreEntry &row : table) {
        if (std::getline(in, name, ':') && in >> row.Score && in.get()) {
            std::snprintf(row.Name, sizeof row.Name, "%s", name.c_str());
        }
    }
}

std::string Describe(const HighScoreTable &table) {
    std::string text;
    for (const HighScoreEntry &row : table) {
        text += std::string(row.Name) + ":" + std::to_string(row.Score) + " ";
    }
    return text;
}

const std::string SAMPLES = Repeat("Sample Player:1 ", 10), NINE = Repeat("Sample Player:1 ", 9);
const std::string TIE = "T:100 A:90 B:90 C:80 D:70 E:60 F:50 G:40 H:30 I:20 ";
const std::string FLOOR =
    "A:-40000 B:-32768 C:3 D:-40000 E:-32768 F:-32768 G:7 H:-32768 I:-50000 J:-32768 ";

TEST_F(RecordFilesTest, AFinishedGameEntersItsTableByTheExchangeRule) {
    struct Case {
        std::string table;
        int32_t type, score;
        int entered;
        std::string after;  // the game's table; the other one is never touched
        std::string name = "N";
    };
    // clang-format off
    const Case cases[] = {
        {SAMPLES, GAME_INTERNAL, 1, 0, SAMPLES},
        {SAMPLES, GAME_INTERNAL, 5, 1, "N:5 " + NINE},
        {SAMPLES, GAME_EXTERNAL, 2, 1, "N:2 " + NINE},
        {SAMPLES, GAME_EXTERNAL, 3, 1, std::string(31, 'L') + ":3 " + NINE, std::string(32, 'L')},  // no zero
        {SAMPLES, 7, 2, 1, "N:2 " + NINE},  // any other type: internal
        {TIE, GAME_INTERNAL, 20, 0, TIE},
        {TIE, GAME_INTERNAL, 21, 1, "T:100 A:90 B:90 C:80 D:70 E:60 F:50 G:40 H:30 N:21 "},
        {TIE, GAME_INTERNAL, 95, 1, "T:100 N:95 B:90 A:90 C:80 D:70 E:60 F:50 G:40 H:30 "},
        {TIE, GAME_INTERNAL, 90, 1, "T:100 A:90 B:90 N:90 C:80 D:70 E:60 F:50 G:40 H:30 "},
        {FLOOR, GAME_INTERNAL, -32767, 1,
         "G:7 C:3 N:-32767 D:-40000 E:-32768 F:-32768 A:-40000 H:-32768 I:-50000 B:-32768 "},
    };
    // clang-format on
    for (const Case &c : cases) {
        HighScoreTable &table = c.type == GAME_EXTERNAL ? ExternalHighScores : InternalHighScores;
        HighScoreTable &other = c.type == GAME_EXTERNAL ? InternalHighScores : ExternalHighScores;
        SetTable(table, c.table);
        SetTable(other, "OTHER:1 ");
        GameSettings = {"", 0, c.score, c.type, 0};
        c.name.copy(GameSettings.PlayerName, sizeof GameSettings.PlayerName);
        EXPECT_EQ(IsHighScore(), c.entered) << c.score;
        if (c.entered) {
            UpdateHighScores();
        }
        EXPECT_EQ(Describe(table), c.after) << c.score;
        EXPECT_EQ(Describe(other).substr(0, 9), "OTHER:1 :");
    }
}

TEST_F(RecordFilesTest, TablesLoadFromWhateverTheFilesHold) {
    std::string eleven;
    for (int i = 0; i < 11; ++i) {
        eleven += HighScore("R" + std::to_string(i), i);
    }
    const std::pair<std::string, std::string> cases[] = {
        // the file, or none; the table
        {"(missing)", SAMPLES},
        {eleven, "R0:0 R1:1 R2:2 R3:3 R4:4 R5:5 R6:6 R7:7 R8:8 R9:9 "},  // only ten read
        {HighScore("A", 5) + HighScore("B", -3) + HighScore("C", 9).substr(0, 20),
         "A:5 B:-3 K:42 :0 :0 :0 :0 :0 :0 :0 "},  // the rows no record reached keep theirs
        {std::string(32, 'N') + std::string("\x07\0\0\0", 4),
         std::string(31, 'N') + ":7 K:99 K:42 :0 :0 :0 :0 :0 :0 :0 "},
    };
    for (const auto &[file, table] : cases) {
        LayOut(file == "(missing)" ? std::vector<std::string>{}
                                   : std::vector<std::string>{"IntHiScores.dat=" + file});
        SetTable(InternalHighScores, "K:99 K:99 K:42 ");
        LoadHighScores();
        EXPECT_EQ(Describe(InternalHighScores), table);
    }
}

}  // namespace
