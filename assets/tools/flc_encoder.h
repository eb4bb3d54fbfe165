// A small encoder for Autodesk Animator Pro FLC movies (magic 0xAF12), used at
// build time to turn 8-bit palette frames into the intro that play_fli() shows.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// A whole movie: one palette shared by every frame, frames stored row by row.
struct FlcMovie {
    int width = 0, height = 0, ms_per_frame = 0;
    std::array<uint8_t, 768> palette{};        // RGB triples, 0..255 per component
    std::vector<std::vector<uint8_t>> frames;  // width*height palette indices each
};

// Largest width or height we write; line counts and skips are signed 16-bit.
constexpr int FLC_MAX_SIDE = 32767;

// FLC chunk types the encoder emits.
constexpr uint16_t FLC_CHUNK_COLOR_256 = 4;
constexpr uint16_t FLC_CHUNK_DELTA_FLC = 7;
constexpr uint16_t FLC_CHUNK_BYTE_RUN = 15;

// True when the movie has sane sizes, at least one frame and full-size frames.
bool IsEncodableFlc(const FlcMovie &movie);

// Encodes the movie into the bytes of an FLC file; empty when not encodable.
std::vector<uint8_t> EncodeFlc(const FlcMovie &movie);

// Encodes the movie and writes it to path; false when not encodable or on any I/O failure.
bool WriteFlc(const std::string &path, const FlcMovie &movie);
