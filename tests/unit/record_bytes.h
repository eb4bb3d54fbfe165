// The bytes of the game's record files, built by hand to check the files
// the game writes: 32-bit little-endian integers after 32-byte names.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "game/game_state.h"

namespace record_bytes {

inline std::string Int(int32_t value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<char>(static_cast<uint32_t>(value) >> (8 * i));
    }
    return bytes;
}

// A 32-byte name field; filler stands for whatever a writer left after the zero.
inline std::string Name(const std::string &name, char filler = '\0') {
    std::string bytes = name;
    bytes += '\0';
    bytes.resize(32, filler);
    return bytes;
}

// A 36-byte high-score row.
inline std::string HighScore(const std::string &name, int32_t score) {
    return Name(name) + Int(score);
}

// A 48-byte saved game.
inline std::string SavedGame(const std::string &name, int32_t difficulty, int32_t score,
                             int32_t type, int32_t level, char filler = '\0') {
    return Name(name, filler) + Int(difficulty) + Int(score) + Int(type) + Int(level);
}

// The current game's settings for an internal game.
inline GameSettingsRecord Settings(const char *name, int32_t difficulty, int32_t score,
                                   int32_t level) {
    GameSettingsRecord record = {};
    std::strncpy(record.PlayerName, name, sizeof record.PlayerName - 1);
    record.Difficulty = difficulty;
    record.Score = score;
    record.GameType = GAME_INTERNAL;
    record.StartLevel = level;
    return record;
}

}  // namespace record_bytes
