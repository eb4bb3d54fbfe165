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

// The table of the game being played.
HighScoreTable &CurrentTable() {
    return InternalGame() ? InternalHighScores : ExternalHighScores;
}

}  // namespace

int IsHighScore() {
    HighScoreEntry &lowest = CurrentTable()[HIGH_SCORE_ROWS - 1];
    if (GameSettings.Score <= lowest.Score) {
        return 0;
    }
    lowest.Score = GameSettings.Score;
    std::memcpy(lowest.Name, GameSettings.PlayerName, sizeof lowest.Name);
    lowest.Name[sizeof lowest.Name - 1] = '\0';
    return 1;
}

void UpdateHighScores() {
    // A selection sort that exchanges rows rather than shifting them, so equal
    // scores may swap places as a new row moves past them.
    HighScoreTable &table = CurrentTable();
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
