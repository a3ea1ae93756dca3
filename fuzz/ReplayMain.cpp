// Runs a fuzz harness over files without libFuzzer: each argument is a file or
// a folder of files, every one handed to LLVMFuzzerTestOneInput once. Used to
// replay the seed corpora in ordinary test runs and to re-check a crash input
// with a compiler that has no fuzzer run-time.
#include <dirent.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool RunFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return false;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // An exact-size heap copy, so a read past the end is caught by a sanitizer.
    std::vector<uint8_t> exact(bytes.begin(), bytes.end());
    LLVMFuzzerTestOneInput(exact.empty() ? nullptr : exact.data(), exact.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int files = 0;
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        struct stat st;
        if (stat(argv[i], &st) != 0) {
            std::fprintf(stderr, "missing %s\n", argv[i]);
            ok = false;
            continue;
        }
        if (!S_ISDIR(st.st_mode)) {
            ok = RunFile(argv[i]) && ok;
            ++files;
            continue;
        }
        DIR* dir = opendir(argv[i]);
        while (dirent* entry = dir ? readdir(dir) : nullptr) {
            const std::string name = entry->d_name;
            if (name == "." || name == "..") continue;
            ok = RunFile(std::string(argv[i]) + "/" + name) && ok;
            ++files;
        }
        if (dir) closedir(dir);
    }
    std::printf("replayed %d inputs\n", files);
    // An empty corpus proves nothing: count it as a failure.
    return ok && files > 0 ? 0 : 1;
}
