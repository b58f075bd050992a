#include "drawing_report.h"

#include <map>
#include <string>

#include "toolkit/core/class_list.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/header_block.h"
#include "toolkit/core/record_list.h"
#include "toolkit/core/version_index.h"

namespace tracemill::tmdump {
namespace {

// Report lines are wrapped at this width.
constexpr size_t kLineWidth = 88;

std::string_view formatName(SourceFormat format) {
    switch (format) {
    case SourceFormat::Dwg: return "DWG";
    case SourceFormat::AsciiDxf: return "DXF (ASCII)";
    case SourceFormat::BinaryDxf: return "DXF (binary)";
    }
    return "unknown format";
}

// Entities of fixed kinds by their DXF names; class-based kinds by the name their class
// declares; entities of classes the toolkit does not know by what they are.
std::string kindName(const Drawing& drawing, uint16_t type) {
    if (!dbEntityTypeName(type).empty() || dbClassNameByNumber(drawing.classes, type))
        return dbEntityKindName(drawing.classes, type);
    if (type == kClassOfEntities) return "proxy entity";
    return "kind " + std::to_string(type);
}

std::string plural(int64_t count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

// Writes "head" and then the items separated by ", ", wrapping continuation lines.
void writeWrapped(std::FILE* out, std::string_view head, const std::vector<std::string>& items) {
    std::string line(head);
    const std::string indent(head.size(), ' ');
    for (size_t i = 0; i < items.size(); ++i) {
        std::string item = items[i] + (i + 1 < items.size() ? "," : "");
        if (line.size() > head.size() && line.size() + 1 + item.size() > kLineWidth) {
            std::fprintf(out, "%s\n", line.c_str());
            line = indent;
        } else if (line.size() > head.size()) {
            line += ' ';
        }
        line += item;
    }
    std::fprintf(out, "%s\n", line.c_str());
}

std::string coordinate(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

} // namespace

std::string_view versionName(int versionIndex) {
    static constexpr std::string_view kNames[] = {
        "AC1002 (R2.5)", "AC1003 (R2.6)", "AC1004 (R9)",  "AC1006 (R10)",
        "AC1009 (R11/R12)", "AC1012 (R13)", "AC1014 (R14)", "AC1015 (2000)",
    };
    if (versionIndex < 0 || versionIndex >= static_cast<int>(std::size(kNames))) return "unknown version";
    return kNames[versionIndex];
}

void writeDrawingReport(const Drawing& drawing, std::string_view fileName, std::FILE* out) {
    std::fprintf(out, "%.*s\n", static_cast<int>(fileName.size()), fileName.data());
    const std::string_view version = versionName(drawing.versionIndex);
    const std::string_view format = formatName(drawing.sourceFormat);
    std::fprintf(out, "  version   %.*s, %.*s\n", static_cast<int>(version.size()), version.data(),
                 static_cast<int>(format.size()), format.data());
    if (const VersionFallbackNote& note = drawing.versionFallback; note.any()) {
        std::fprintf(out, "  note      the file names version \"%s\", which this program does not read; read as %.*s,\n"
                          "            %s and %s were not kept\n",
                     note.fileVersion.c_str(), static_cast<int>(version.size()), version.data(),
                     plural(note.classesNotKept, "class", "classes").c_str(),
                     plural(note.objectsNotKept, "object", "objects").c_str());
    }

    int64_t userBlocks = 0;
    for (const BlockNode& block : drawing.blocks) {
        if (block.entityList && block.entityList.get() != drawing.modelSpace &&
            block.entityList.get() != drawing.paperSpace)
            ++userBlocks;
    }
    writeWrapped(out, "  tables    ",
                 {plural(dbListCount(&drawing.layers), "layer", "layers"),
                  plural(dbListCount(&drawing.linetypes), "linetype", "linetypes"),
                  plural(dbListCount(&drawing.styles), "text style", "text styles"),
                  plural(dbListCount(&drawing.dimStyles), "dimension style", "dimension styles"),
                  plural(userBlocks, "block", "blocks"), plural(dbListCount(&drawing.views), "view", "views"),
                  plural(dbListCount(&drawing.ucss), "UCS", "UCSs")});

    std::map<std::string, int64_t> kinds;
    int64_t model = 0, paper = 0, inBlocks = 0;
    for (const BlockNode& block : drawing.blocks) {
        if (!block.entityList) continue;
        for (const auto& node : *block.entityList) {
            const uint16_t type = node.record.header.type;
            // Block delimiters and sequence ends are structure, not drawn entities.
            const std::string_view fixed = dbEntityTypeName(type);
            if (fixed == "BLOCK" || fixed == "ENDBLK" || fixed == "SEQEND" || fixed == "VERTEX") continue;
            ++kinds[kindName(drawing, type)];
            if (block.entityList.get() == drawing.modelSpace) ++model;
            else if (block.entityList.get() == drawing.paperSpace) ++paper;
            else ++inBlocks;
        }
    }
    std::fprintf(out, "  entities  %lld: %lld in model space, %lld in paper space, %lld in blocks\n",
                 static_cast<long long>(model + paper + inBlocks), static_cast<long long>(model),
                 static_cast<long long>(paper), static_cast<long long>(inBlocks));
    std::vector<std::string> items;
    for (const auto& [name, count] : kinds) items.push_back(name + " " + std::to_string(count));
    if (!items.empty()) writeWrapped(out, "  by kind   ", items);

    if (drawing.header && drawing.header->extmin.x <= drawing.header->extmax.x &&
        drawing.header->extmin.y <= drawing.header->extmax.y) {
        const Point3& a = drawing.header->extmin;
        const Point3& b = drawing.header->extmax;
        std::fprintf(out, "  extents   (%s, %s) to (%s, %s), as the file records them\n", coordinate(a.x).c_str(),
                     coordinate(a.y).c_str(), coordinate(b.x).c_str(), coordinate(b.y).c_str());
    } else {
        std::fprintf(out, "  extents   none recorded\n");
    }
}

} // namespace tracemill::tmdump
