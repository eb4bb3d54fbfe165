// The bytes of the game's record files, built by hand to check the files the
// game writes: 32-byte zero-terminated names, 32-bit little-endian integers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/game_state.h"

namespace record_bytes {

// A 32-byte name, then the integers.
inline std::string Record(const std::string &name, const std::vector<int32_t> &values) {
    std::string bytes = name;
    bytes.resize(32, '\0');
    for (const int32_t value : values) {
        for (int i = 0; i < 4; ++i) {
            bytes += static_cast<char>(static_cast<uint32_t>(value) >> (8 * i));
        }
    }
    return bytes;
}

inline std::string HighScore(const std::string &name, int32_t score) {
    return Record(name, {score});
}

inline std::string SavedGame(const std::string &name, int32_t difficulty, int32_t score,
                             int32_t type, int32_t level) {
    return Record(name, {difficulty, score, type, level});
}

// The current game's settings for an internal game.
inline GameSettingsRecord Settings(const char *name, int32_t difficulty, int32_t score,
                                   int32_t level) {
    GameSettingsRecord record = {"", difficulty, score, GAME_INTERNAL, level};
    std::snprintf(record.PlayerName, sizeof record.PlayerName, "%s", name);
    return record;
}

}  // namespace record_bytes
