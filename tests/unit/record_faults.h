// Faults made to happen in the record files, on every system: each test binary
// wraps its system's calls (at link time) to fail the Nth call of the armed
// kind, and walks the same stores through every such failure in turn.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "records/high_scores.h"
#include "records/saved_games.h"
#include "display/display_file.h"
#include "tests/unit/record_bytes.h"

namespace record_faults {

// The failing kind, which call fails (every one when -1), calls so far.
inline int Armed = -1, FailAt = 0, Seen = 0;

// Whether this call of the wrapped kind is the one to fail.
inline bool Fails(int call) {
    return call == Armed && (++Seen == FailAt || FailAt == -1);
}

inline std::string Saved(const char *name, int32_t score) {
    return record_bytes::SavedGame(name, 1, score, GAME_INTERNAL, 2);
}

// A whole table: rows of its own above default rows.
inline std::string TableBytes(const std::vector<std::pair<std::string, int32_t>> &rows) {
    std::string bytes;
    for (const auto &[name, score] : rows) {
        bytes += record_bytes::HighScore(name, score);
    }
    while (bytes.size() < HIGH_SCORE_ROWS * 36) {
        bytes += record_bytes::HighScore("Sample Player", 1);
    }
    return bytes;
}

// The temporary files left in the working directory.
inline std::set<std::string> TempFiles() {
    std::set<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(".")) {
        if (entry.path().extension() == ".tmp") {
            names.insert(entry.path().filename().string());
        }
    }
    return names;
}

// ANN saves a score of three bytes, so every byte of it is written.
inline bool StoreAnn() {
    return StoreSavedGame(record_bytes::Settings("ANN", 1, 70000, 2));
}

// A game of type ends with NAME's score; true when it entered, unsaved then
// naming the file it could not be saved to.
inline bool EnterScore(int32_t type, const char *name, int32_t score, const char *&unsaved) {
    GameSettings = record_bytes::Settings(name, 1, score, 0);
    GameSettings.GameType = type;
    unsaved = nullptr;
    return EnterNewHighScore(unsaved);
}

// Games of both types end with NAME's score; true when both were saved.
inline bool StoreTables(const char *name = "NEW", int32_t score = 70) {
    const char *internal, *external;
    return EnterScore(GAME_INTERNAL, name, score, internal) &
               EnterScore(GAME_EXTERNAL, name, score, external) &&
           !internal && !external;
}

// Every store (the display file's too) under a failure at each call of each of kinds in turn: each
// file is left whole, old or new, with no stand-in and no file left open, and a failure at one file
// never keeps another from being replaced. A failure of kind done comes once the new bytes are in
// place: the store counts as done. LayOut makes "name=bytes" files in an emptied directory;
// Contents reads a file back; OpenFiles counts the files the process holds open (and may take the
// files away). Returns how many failures were made to happen of each kind.
template <typename LayOutFiles, typename ReadContents, typename CountOpenFiles>
std::vector<int> FailEachCallInTurn(int kinds, int done, LayOutFiles LayOut, ReadContents Contents,
                                    CountOpenFiles OpenFiles) {
    const std::string bob = Saved("BOB", 10), ann = Saved("ann", 5), tail(20, 'q');
    const std::string INTERNAL = "IntHiScores.dat", EXTERNAL = "ExtHiScores.dat",
                      SAVED = "plyrsettings.dat";
    struct Case {
        std::vector<std::string> layout;
        std::vector<std::pair<std::string, std::string>> after;  // paths and their new bytes
        bool (*store)();
    };
    // clang-format off
    const Case cases[] = {
        {{INTERNAL + "=" + TableBytes({{"OLD", 7}}), EXTERNAL + "=" + TableBytes({{"OLD", 8}})},
         {{INTERNAL, TableBytes({{"NEW", 70}, {"OLD", 7}})}, {EXTERNAL, TableBytes({{"NEW", 70}, {"OLD", 8}})}},
         [] { return StoreTables(); }},
        {{SAVED + "=" + bob + ann + Saved("ANN", 6) + tail},  // the first name that matches in any case
         {{SAVED, bob + Saved("ANN", 70000) + Saved("ANN", 6) + tail}}, StoreAnn},
        {{SAVED + "=" + bob + tail}, {{SAVED, bob + Saved("ANN", 70000)}}, StoreAnn},  // after the last whole one
        {{}, {{SAVED, Saved("ANN", 70000)}}, StoreAnn},
        {{"tileriot.cfg=[display]\nmode = window\nscale = 2\n"}, {{"tileriot.cfg", "[display]\nmode = fullscreen\n"}},
         [] { return WriteDisplayFile({true, 0}); }},
    };
    // clang-format on
    std::vector<int> injected(kinds);
    const int open_files = OpenFiles();
    for (const Case &c : cases) {
        for (int call = 0; call < kinds; ++call) {
            for (int n = 1;; ++n) {
                SCOPED_TRACE(c.after[0].first + ": call " + std::to_string(n) + " of kind " +
                             std::to_string(call) + " fails");
                LayOut(c.layout);
                std::vector<std::string> before;
                for (const auto &[path, bytes] : c.after) {
                    before.push_back(Contents(path));
                }
                LoadHighScores();  // a new run
                Armed = call, FailAt = n, Seen = 0;
                const bool stored = c.store();
                Armed = -1;
                const bool failed = Seen >= n;
                EXPECT_EQ(stored, !failed || call == done);
                size_t old_files = 0;
                for (size_t i = 0; i < c.after.size(); ++i) {
                    const std::string now = Contents(c.after[i].first);
                    EXPECT_TRUE(now == c.after[i].second || (!stored && now == before[i])) << i;
                    old_files += now != c.after[i].second;
                }
                EXPECT_LE(old_files, 1u);  // one file's failure never keeps the other old
                EXPECT_EQ(TempFiles(), std::set<std::string>{});
                EXPECT_EQ(OpenFiles(), open_files);  // last: it may take the files away
                if (!failed) {
                    break;
                }
                ++injected[call];
            }
        }
    }
    return injected;
}

// After copies of the game each saved games under names of their own at
// once: every save is in the file, and no stand-in is left.
inline void ExpectEverySave(const std::string &file, int saves) {
    std::set<std::string> names;
    for (std::size_t at = 0; at < file.size(); at += SAVED_GAME_BYTES) {
        names.insert(file.substr(at, 32).c_str());
    }
    EXPECT_EQ(file.size(), saves * SAVED_GAME_BYTES);
    EXPECT_EQ(names.size(), static_cast<size_t>(saves));
    EXPECT_EQ(TempFiles(), std::set<std::string>{});
}

}  // namespace record_faults
