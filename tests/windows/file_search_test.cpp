// Allegro's search for a file by name (allegro.cfg beside the game, every
// file_exists) on 64-bit Windows with the search's handle above 4 GB, where
// a handle kept in 32 bits is cut short: the free address space below 4 GB
// is reserved first, and searches kept open until the heap has grown above it.

#include <allegro.h>
#include <winalleg.h>
#include <gtest/gtest.h>
#include <io.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <set>
#include <string>
#include <vector>

constexpr uintptr_t FOUR_GB = uintptr_t(1) << 32, GRANULE = 0x10000;

TEST(FileSearchTest, AllegroFindsFilesWithItsSearchAbove4Gb) {
    ASSERT_EQ(install_allegro(SYSTEM_NONE, &errno, atexit), 0);
    std::ofstream("twin-a.cfg"), std::ofstream("twin-b.cfg");
    std::vector<void *> reserved;
    MEMORY_BASIC_INFORMATION range;
    for (uintptr_t at = GRANULE; at < FOUR_GB && VirtualQuery((void *)at, &range, sizeof range);
         at = (uintptr_t)range.BaseAddress + range.RegionSize) {
        const uintptr_t start = (at + GRANULE - 1) & ~(GRANULE - 1),
                        end = std::min((uintptr_t)range.BaseAddress + range.RegionSize, FOUR_GB);
        if (range.State == MEM_FREE && start < end) {
            reserved.push_back(
                VirtualAlloc((void *)start, end - start, MEM_RESERVE, PAGE_NOACCESS));
        }
    }
    std::vector<intptr_t> searches;  // kept open, each where no later one can go
    _finddata_t found;
    do {
        searches.push_back(_findfirst("twin-a.cfg", &found));
    } while (searches.size() < 20000 && (uintptr_t)searches.back() < FOUR_GB);
    std::set<std::string> names;
    al_ffblk info;
    for (int more = al_findfirst("twin-*.cfg", &info, FA_ALL); more == 0;
         more = al_findnext(&info)) {
        names.insert(info.name);
    }
    al_findclose(&info);
    EXPECT_EQ(names, (std::set<std::string>{"twin-a.cfg", "twin-b.cfg"}));
    EXPECT_TRUE(file_exists("twin-b.cfg", FA_ALL, nullptr));
    std::for_each(searches.begin(), searches.end(), _findclose);
    std::for_each(reserved.begin(), reserved.end(),
                  [](void *at) { VirtualFree(at, 0, MEM_RELEASE); });
    allegro_exit();
    if ((uintptr_t)searches.back() < FOUR_GB) {
        GTEST_SKIP() << "Wine put no search's handle above 4 GB";
    }
}
