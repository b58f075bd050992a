// Deterministic replay driver for fuzz harnesses.
//
// Every harness defines LLVMFuzzerTestOneInput. Linked with this driver it replays the
// committed corpus and then a fixed number of mutations of the corpus files made by a
// fixed-seed generator, so a CI run is repeatable and never turns red by chance.
// Built with libFuzzer instead, the same harness fuzzes open-ended.
//
// Usage: <harness>_replay --corpus DIR [--corpus DIR ...] [--seed N] [--runs N]
//                         [--max-seed-size BYTES] [FILE...]
// Corpus files larger than --max-seed-size are replayed but not mutated.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" __attribute__((weak)) void __sanitizer_set_death_callback(void (*callback)(void));

namespace {

using Bytes = std::vector<uint8_t>;

Bytes readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Values that tend to cross boundaries in length and count fields.
constexpr uint32_t kInteresting[] = {0, 1, 0x7F, 0x80, 0xFF, 0x100, 0x7FFF, 0x8000, 0xFFFF,
                                     0x10000, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu};

void mutate(Bytes& data, const std::vector<Bytes>& corpus, std::mt19937_64& rng) {
    auto pick = [&](size_t n) { return n == 0 ? size_t{0} : size_t(rng() % n); };
    int steps = 1 + int(rng() % 4);
    for (int s = 0; s < steps; ++s) {
        switch (rng() % 9) {
        case 0: // flip one bit
            if (!data.empty()) data[pick(data.size())] ^= uint8_t(1u << (rng() % 8));
            break;
        case 1: // random byte
            if (!data.empty()) data[pick(data.size())] = uint8_t(rng());
            break;
        case 2: // truncate
            if (!data.empty()) data.resize(pick(data.size()));
            break;
        case 3: { // erase a run
            if (data.empty()) break;
            size_t at = pick(data.size());
            size_t n = std::min(data.size() - at, size_t(1 + rng() % 64));
            data.erase(data.begin() + at, data.begin() + at + n);
            break;
        }
        case 4: { // insert random bytes
            size_t at = pick(data.size() + 1);
            size_t n = 1 + rng() % 16;
            Bytes ins(n);
            for (auto& b : ins) b = uint8_t(rng());
            data.insert(data.begin() + at, ins.begin(), ins.end());
            break;
        }
        case 5: { // duplicate a run
            if (data.empty()) break;
            size_t at = pick(data.size());
            size_t n = std::min(data.size() - at, size_t(1 + rng() % 256));
            Bytes run(data.begin() + at, data.begin() + at + n);
            data.insert(data.begin() + pick(data.size() + 1), run.begin(), run.end());
            break;
        }
        case 6: { // interesting little-endian value
            if (data.size() < 4) break;
            uint32_t v = kInteresting[rng() % std::size(kInteresting)];
            size_t at = pick(data.size() - 3);
            int width = 1 << (rng() % 3);
            for (int i = 0; i < width; ++i) data[at + i] = uint8_t(v >> (8 * i));
            break;
        }
        case 7: { // splice with another corpus file
            if (corpus.empty()) break;
            const Bytes& other = corpus[pick(corpus.size())];
            if (other.empty()) break;
            size_t cut = pick(data.size() + 1);
            size_t from = pick(other.size());
            data.resize(cut);
            data.insert(data.end(), other.begin() + from, other.end());
            break;
        }
        case 8: { // ASCII digit noise, for text formats
            if (data.empty()) break;
            data[pick(data.size())] = uint8_t("0123456789-.eE \r\n"[rng() % 17]);
            break;
        }
        }
    }
    constexpr size_t kMaxSize = 1u << 20;
    if (data.size() > kMaxSize) data.resize(kMaxSize);
}

// The input under test, written out when a sanitizer stops the run so the finding can
// be replayed and committed to the corpus.
const Bytes* gCurrent = nullptr;

void saveCurrentInput() {
    if (!gCurrent) return;
    if (FILE* f = std::fopen("fuzz-crash.bin", "wb")) {
        std::fwrite(gCurrent->data(), 1, gCurrent->size(), f);
        std::fclose(f);
        std::fprintf(stderr, "fuzz driver: failing input written to fuzz-crash.bin\n");
    }
}

} // namespace

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
    if (__sanitizer_set_death_callback) __sanitizer_set_death_callback(saveCurrentInput);
    std::vector<std::string> corpusDirs;
    uint64_t seed = 1;
    long runs = 1000;
    size_t maxSeedSize = SIZE_MAX;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--corpus" && i + 1 < argc) corpusDirs.push_back(argv[++i]);
        else if (arg == "--seed" && i + 1 < argc) seed = std::strtoull(argv[++i], nullptr, 10);
        else if (arg == "--runs" && i + 1 < argc) runs = std::strtol(argv[++i], nullptr, 10);
        else if (arg == "--max-seed-size" && i + 1 < argc) maxSeedSize = std::strtoull(argv[++i], nullptr, 10);
        else files.push_back(arg);
    }

    std::vector<std::filesystem::path> paths;
    for (const std::string& corpusDir : corpusDirs) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(corpusDir))
            if (entry.is_regular_file()) paths.push_back(entry.path());
    }
    for (const auto& f : files) paths.emplace_back(f);
    std::sort(paths.begin(), paths.end());

    std::vector<Bytes> corpus;
    for (const auto& p : paths) {
        corpus.push_back(readFile(p));
        gCurrent = &corpus.back();
        LLVMFuzzerTestOneInput(corpus.back().data(), corpus.back().size());
    }
    gCurrent = nullptr;
    std::printf("replayed %zu corpus files\n", corpus.size());
    std::erase_if(corpus, [&](const Bytes& file) { return file.size() > maxSeedSize; });
    if (corpus.empty()) corpus.push_back(Bytes{});

    std::mt19937_64 rng(seed);
    for (long r = 0; r < runs; ++r) {
        Bytes data = corpus[rng() % corpus.size()];
        mutate(data, corpus, rng);
        gCurrent = &data;
        LLVMFuzzerTestOneInput(data.data(), data.size());
    }
    std::printf("ran %ld mutations with seed %llu\n", runs, static_cast<unsigned long long>(seed));
    return 0;
}
