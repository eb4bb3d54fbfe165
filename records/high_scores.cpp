// The high-score tables in memory: a finished game's score enters over the
// lowest row and the table is sorted back into order.

#include "records/high_scores.h"

#include <cstring>
#include <utility>

#include "game/game_state.h"

HighScoreTable InternalHighScores;
HighScoreTable ExternalHighScores;

namespace {

// Scores at or below this never move up in the sort (only a damaged file holds them).
constexpr int32_t LOWEST_SORTED_SCORE = -32768;

// Puts row over a table's lowest row when it beats it; true if so.
bool PlaceOverLowest(HighScoreTable &table, const char *name, int32_t score) {
    HighScoreEntry &lowest = table[HIGH_SCORE_ROWS - 1];
    if (score <= lowest.Score) {
        return false;
    }
    lowest.Score = score;
    std::memcpy(lowest.Name, name, sizeof lowest.Name);
    lowest.Name[sizeof lowest.Name - 1] = '\0';
    return true;
}

// A selection sort that exchanges rows rather than shifting them, so equal
// scores may swap places as a new row moves past them.
void SortTable(HighScoreTable &table) {
    for (int i = 0; i < HIGH_SCORE_ROWS; ++i) {
        int32_t best = LOWEST_SORTED_SCORE;
        int chosen = i;
        for (int j = i; j < HIGH_SCORE_ROWS; ++j) {
            if (table[j].Score > best) {
                best = table[j].Score;
                chosen = j;
            }
        }
        std::swap(table[i], table[chosen]);
    }
}

}  // namespace

HighScoreTable &CurrentTable() {
    return InternalGame() ? InternalHighScores : ExternalHighScores;
}

int IsHighScore() {
    return PlaceOverLowest(CurrentTable(), GameSettings.PlayerName, GameSettings.Score) ? 1 : 0;
}

void UpdateHighScores() {
    SortTable(CurrentTable());
}

void EnterScore(HighScoreTable &table, const HighScoreEntry &row) {
    if (PlaceOverLowest(table, row.Name, row.Score)) {
        SortTable(table);
    }
}
