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

// Writes each table back to its file. When one or both cannot be written,
// any other is still saved, and the game ends naming the files that failed.
void SaveHighScores();

// Enters the current score over row 9 of its table (the internal one for any
// game type but external) when it beats it; 1 if so.
int IsHighScore();

// Sorts the current game type's table back into descending order.
void UpdateHighScores();

// Reads up to ten whole 36-byte records into the first rows; returns how many.
int ReadHighScoreTable(FILE *file, HighScoreTable &table);

// Writes the ten rows as 36-byte records; false if a write failed.
bool WriteHighScoreTable(FILE *file, const HighScoreTable &table);

// Writes each table to its file at once, so a new high score outlives a
// crash. A file that cannot be written keeps its old bytes and never stops
// the other one; false unless both were written.
bool StoreHighScores();

// StoreHighScores once the current game's score has entered its table: the
// name of that table's file when it could not be written, else null.
const char *StoreNewHighScore();
