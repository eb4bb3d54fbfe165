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

// Writes both tables back; a table that cannot be written ends the game.
void SaveHighScores();

// Enters the current score over row 9 of its table when it beats it; 1 if so.
int IsHighScore();

// Sorts the current game type's table back into descending order.
void UpdateHighScores();

// Reads up to ten whole 36-byte records into the first rows; returns how many.
int ReadHighScoreTable(FILE *file, HighScoreTable &table);

// Writes the ten rows as 36-byte records; false if a write failed.
bool WriteHighScoreTable(FILE *file, const HighScoreTable &table);

// Writes both tables to their files at once, so a new high score outlives a
// crash; false (and the old files untouched) when they could not be written.
bool StoreHighScores();
