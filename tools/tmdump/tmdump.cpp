// tmdump: loads a drawing through the toolkit and prints a canonical, stable text dump.
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--init-data") == 0) {
        std::puts("tmdump: the toolkit's start-up is not built yet");
        return 0;
    }
    std::fprintf(stderr, "usage: tmdump --init-data\n");
    return 2;
}
