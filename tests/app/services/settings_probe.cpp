// A second process for the settings tests: reads or writes one value of the user's settings.
//   settings_probe get-string|get-dword|get-binary KEY NAME   prints the value (binary in hex)
//   settings_probe set-string KEY NAME TEXT
// Exit code 0 when done, 2 when the key or value is missing, 1 on a usage error.
#include <cstdio>
#include <string>
#include <vector>

#include "app/services/registry_key.h"

using namespace tracemill;

int main(int argc, char** argv) {
    if (argc < 4) return 1;
    const std::string command = argv[1];
    CRegistryKey key;
    if (command == "set-string") {
        if (argc < 5 || key.Create(argv[2]) != kRegSuccess || key.SetString(argv[4], argv[3]) != kRegSuccess) return 1;
        return key.Close() == kRegSuccess ? 0 : 1;
    }
    if (key.Open(argv[2]) != kRegSuccess) return 2;
    if (command == "get-string") {
        std::string value;
        if (key.QueryString(value, argv[3]) != kRegSuccess) return 2;
        std::printf("%s", value.c_str());
    } else if (command == "get-dword") {
        uint32_t value = 0;
        if (key.QueryDword(value, argv[3]) != kRegSuccess) return 2;
        std::printf("%u", value);
    } else if (command == "get-binary") {
        std::vector<uint8_t> value;
        if (key.QueryBinary(value, argv[3]) != kRegSuccess) return 2;
        for (const uint8_t b : value) std::printf("%02x", b);
    } else {
        return 1;
    }
    return 0;
}
