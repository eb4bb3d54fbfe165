// Allegro's search for a file by name (allegro.cfg beside the game, every
// file_exists) on 64-bit Windows with the search's handle above 4 GB, where
// a handle kept in 32 bits would be cut short: the free address space below
// 4 GB is reserved first, and the heap filled up to it.

#include <allegro.h>
#include <winalleg.h>
#include <gtest/gtest.h>
#include <io.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr uintptr_t FOUR_GB = uintptr_t(1) << 32;
constexpr uintptr_t GRANULE = 0x10000;  // where a reservation may start
constexpr int MOST_PROBES = 20000;

// The address space below 4 GB, taken so that nothing new lands there.
struct ReservedBelowFourGb {
    std::vector<void *> ranges;
    ReservedBelowFourGb() {
        MEMORY_BASIC_INFORMATION range;
        for (uintptr_t at = GRANULE;
             at < FOUR_GB && VirtualQuery(reinterpret_cast<void *>(at), &range, sizeof range);
             at = reinterpret_cast<uintptr_t>(range.BaseAddress) + range.RegionSize) {
            const uintptr_t end = std::min(
                reinterpret_cast<uintptr_t>(range.BaseAddress) + range.RegionSize, FOUR_GB);
            const uintptr_t start = (at + GRANULE - 1) & ~(GRANULE - 1);
            if (range.State == MEM_FREE && start < end) {
                if (void *taken = VirtualAlloc(reinterpret_cast<void *>(start), end - start,
                                               MEM_RESERVE, PAGE_NOACCESS)) {
                    ranges.push_back(taken);
                }
            }
        }
    }
    ~ReservedBelowFourGb() {
        for (void *taken : ranges) {
            VirtualFree(taken, 0, MEM_RELEASE);
        }
    }
};

// Searches of the C library kept open until one's handle lies above 4 GB:
// every place below that a search's record fits is then taken.
struct SearchesBelowFourGb {
    std::vector<intptr_t> handles;
    bool above = false;
    explicit SearchesBelowFourGb(const char *pattern) {
        _finddata_t found;
        for (int probe = 0; probe < MOST_PROBES && !above; ++probe) {
            const intptr_t handle = _findfirst(pattern, &found);
            if (handle == -1) {
                break;
            }
            above = static_cast<uintptr_t>(handle) >= FOUR_GB;
            handles.push_back(handle);
        }
    }
    ~SearchesBelowFourGb() {
        for (intptr_t handle : handles) {
            _findclose(handle);
        }
    }
};

// The names Allegro's search finds for pattern, one after another.
std::set<std::string> AllegroFinds(const char *pattern) {
    std::set<std::string> names;
    al_ffblk info;
    if (al_findfirst(pattern, &info, FA_ALL) != 0) {
        return names;
    }
    do {
        names.insert(info.name);
    } while (al_findnext(&info) == 0);
    al_findclose(&info);
    return names;
}

TEST(FileSearchTest, AllegroFindsFilesWithItsSearchAbove4Gb) {
    ASSERT_EQ(install_allegro(SYSTEM_NONE, &errno, atexit), 0);
    for (const char *name : {"twin-a.cfg", "twin-b.cfg"}) {
        std::ofstream(name) << "[system]\n";
    }
    const ReservedBelowFourGb reserved;
    const SearchesBelowFourGb low("twin-a.cfg");
    if (!low.above) {
        GTEST_SKIP() << "Wine put no search's handle above 4 GB (" << reserved.ranges.size()
                     << " ranges reserved, " << low.handles.size() << " searches made)";
    }
    EXPECT_EQ(AllegroFinds("twin-*.cfg"), (std::set<std::string>{"twin-a.cfg", "twin-b.cfg"}));
    EXPECT_TRUE(file_exists("twin-b.cfg", FA_ALL, nullptr));
    allegro_exit();
}

}  // namespace
