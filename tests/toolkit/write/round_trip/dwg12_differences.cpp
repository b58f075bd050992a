#include "dwg12_differences.h"

#include <string>

namespace tracemill::test {

std::span<const AllowedDifference> dwg12OwnVersionDifferences() {
    static const AllowedDifference rows[] = {
        {"loaded-dimension-style", "a file without DIMSTYLE records is loaded with the dimension style \"Standard\" "
                                   "of the load's defaults, owned by its table; the file written holds it, and its "
                                   "reader takes it as the file names it (STANDARD), without an owner",
         [](const RoundTripCase& c) { return c.version == 4; },
         [](DumpLines& lines, const RoundTripCase&) {
             for (std::string& line : lines) {
                 if (!line.starts_with("DIMSTYLE ")) continue;
                 DumpLines one{line};
                 rewriteField(one, "", "name", symbolNameBefore2000, true);
                 removeFields(one, "", {"owner"});
                 line = one[0];
             }
         }},
    };
    return rows;
}

} // namespace tracemill::test
