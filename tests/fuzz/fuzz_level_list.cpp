// Fuzzes the editor's level list: a folder laid out from the input (level files in any case, odd
// names, directories and FIFOs named like levels, links to files, to folders and to nothing) is
// listed without crashing or waiting; the list holds exactly its regular, readable level files,
// each once, in byte order.

#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <vector>

#include "editor/level_list.h"
#include "tests/fuzz/fuzz.h"

namespace {

constexpr int MOST_ENTRIES = 24;
enum Kind { FILE_KIND, DIRECTORY, FIFO, LINK, DANGLING_LINK, KINDS };

// Takes one byte of the input; 0 once it is used up.
uint8_t Take(const uint8_t *&data, size_t &size) {
    return size ? (--size, *data++) : 0;
}

// A name of up to 15 bytes of the input, with no '/' or zero byte, and an
// extension of ".trl", ".TRL", ".tr" or none.
std::string TakeName(const uint8_t *&data, size_t &size) {
    const uint8_t head = Take(data, size);
    std::string name;
    for (int i = 0; i < head % 16; ++i) {
        const char c = static_cast<char>(Take(data, size));
        name += c == '/' || c == '\0' ? '_' : c;
    }
    static const char *const EXTENSIONS[] = {".trl", ".TRL", ".tr", ""};
    name += EXTENSIONS[head / 16 % 4];
    return name == "." || name == ".." ? "x" : name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const std::filesystem::path home = std::filesystem::current_path();
    std::filesystem::remove_all(home / "folder");
    std::filesystem::create_directory(home / "folder");
    std::filesystem::current_path(home / "folder");
    std::vector<std::string> made;
    std::set<std::string> levels;  // what the list must hold
    for (int entry = 0; entry < MOST_ENTRIES && size > 0; ++entry) {
        const Kind kind = static_cast<Kind>(Take(data, size) % KINDS);
        const std::string name = TakeName(data, size);
        const size_t length = std::min<size_t>(Take(data, size), size);
        const std::string bytes(reinterpret_cast<const char *>(data), length);
        data += length, size -= length;
        std::error_code error;
        if (std::filesystem::exists(std::filesystem::symlink_status(name, error))) {
            continue;
        }
        if (kind == FILE_KIND) {
            FILE *file = std::fopen(name.c_str(), "wb");
            if (file) {
                std::fwrite(bytes.data(), 1, bytes.size(), file);
                std::fclose(file);
            }
        } else if (kind == DIRECTORY) {
            mkdir(name.c_str(), 0755);
        } else if (kind == FIFO) {
            mkfifo(name.c_str(), 0644);
        } else {
            const std::string target =
                kind == LINK && !made.empty() ? made[length % made.size()] : "nowhere";
            symlink(target.c_str(), name.c_str());
        }
        if (std::filesystem::exists(std::filesystem::symlink_status(name, error))) {
            made.push_back(name);
        }
    }
    for (const std::string &name : made) {
        struct stat status;
        if (name.size() > 4 && strcasecmp(name.c_str() + name.size() - 4, ".trl") == 0 &&
            stat(name.c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
            levels.insert(name);
        }
    }
    std::vector<ListedLevel> list;
    ReadLevelList(list);
    std::set<std::string> listed;
    for (size_t i = 0; i < list.size(); ++i) {
        Check(i == 0 || std::strcmp(list[i - 1].Path, list[i].Path) < 0);
        listed.insert(list[i].Path);
    }
    Check(listed == levels);
    std::filesystem::current_path(home);
    return 0;
}
