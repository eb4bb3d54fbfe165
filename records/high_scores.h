// The two high-score tables (internal and external games), their files and
// the qualifying and re-ordering of a finished game's score.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>

struct HighScoreEntry {
    char Name[32];  // zero-terminated, at most 31 characters
    int32_t Score;
};

constexpr int HIGH_SCORE_ROWS = 10;
using HighScoreTable = std::array<HighScoreEntry, HIGH_SCORE_ROWS>;

// Row 0 is the best score, row 9 the lowest.
extern HighScoreTable InternalHighScores;
extern HighScoreTable ExternalHighScores;

// Reads both tables at start-up; a missing file gives ten "Sample Player" rows.
void LoadHighScores();

// Writes each table back to its file as StoreHighScores does. When one or
// both cannot be written, any other is still saved, and the game ends naming
// the files that failed.
void SaveHighScores();

// Enters the current score over row 9 of its table (the internal one for any
// game type but external) when it beats it; 1 if so.
int IsHighScore();

// Sorts the current game type's table back into descending order.
void UpdateHighScores();

// The table of the game being played.
HighScoreTable &CurrentTable();

// Enters row into table as a finished game's score enters: over row 9 when
// it beats it, then sorted back into order.
void EnterScore(HighScoreTable &table, const HighScoreEntry &row);

// Reads up to ten whole 36-byte records into the first rows; returns how many.
int ReadHighScoreTable(FILE *file, HighScoreTable &table);

// Writes the ten rows as 36-byte records; false if a write failed.
bool WriteHighScoreTable(FILE *file, const HighScoreTable &table);

// Offers the finished game's score to its table as the table stands on disk
// now, whatever other copies of the game have entered since this one
// started: while every other copy waits, the table is read afresh, the
// scores this copy could not save yet are entered again, then this one by
// IsHighScore and UpdateHighScores, and the table is written. True when the
// score entered; unsaved is then the table's file when it could not be
// written (its scores stay in memory and are tried again by the next store).
bool EnterNewHighScore(const char *&unsaved);

// Writes each table to its file the same way: read afresh, with the scores
// not saved yet entered. A file that cannot be read or written keeps its old
// bytes and never stops the other one; false unless both were written.
bool StoreHighScores();
