// Feeds every file of the given files and folders (recursively) to a fuzz target once, plus the
// empty input. Used in the ordinary build so that the corpora are replayed by CTest; a fault
// shows as a sanitizer report or a crash.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {
void Feed(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}
} // namespace

int main(int argc, char** argv) {
    LLVMFuzzerTestOneInput(nullptr, 0);
    long count = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path root = argv[i];
        std::error_code ec;
        if (std::filesystem::is_regular_file(root, ec)) {
            Feed(root);
            ++count;
            continue;
        }
        if (!std::filesystem::is_directory(root, ec)) {
            std::printf("skipped (missing): %s\n", argv[i]);
            continue;
        }
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root, ec)) {
            if (!entry.is_regular_file()) continue;
            Feed(entry.path());
            ++count;
        }
    }
    std::printf("%ld inputs replayed\n", count);
    return count > 0 ? 0 : 1;
}
