#include "toolkit/write/save_changes.h"

#include <algorithm>
#include <memory>

#include "toolkit/core/block_name_index.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/object_access.h"

namespace tracemill {

SaveChanges::SaveChanges(Drawing& drawing) : drawing_(drawing) {}

int SaveChanges::detachObjectTree(Handle handle) {
    ListLink* link = dbHandleTreeFind(drawing_.handleIndex, handle);
    if (!link || link->owner != &drawing_.objects) return 1;
    auto* node = static_cast<ObjectNode*>(link);
    if (node->record.header.type == kObjectDictionary) {
        if (const auto* dictionary = node->record.body.getIf<DictionaryBody>()) {
            const std::vector<DictionaryEntry> entries = dictionary->entries;
            for (const DictionaryEntry& entry : entries) {
                if (!detachObjectTree(entry.handle)) return 0;
            }
        }
    }
    ListLink* previous = node->previous;
    if (!dbListUnlinkOne(&drawing_.objects, node)) return 0;
    dbHandleTreeRemove(drawing_.handleIndex, handle);
    Drawing& d = drawing_;
    undo_.push_back([&d, node, previous, handle] {
        ListLink* after = previous && previous->owner == &d.objects ? previous : nullptr;
        dbListInsertChainAfter(&d.objects, after, node);
        dbHandleTreeInsert(d.handleIndex, handle, node);
    });
    return 1;
}

void SaveChanges::keepObject(Handle handle) {
    if (std::find(kept_.begin(), kept_.end(), handle) != kept_.end()) return;
    const ObjectRecord* stored = dbFindStoredObject(&drawing_, handle);
    if (!stored) return;
    kept_.push_back(handle);
    auto copy = std::make_shared<ObjectRecord>(*stored);
    Drawing& d = drawing_;
    undo_.push_back([&d, handle, copy] {
        if (ObjectRecord* object = dbFindStoredObject(&d, handle)) *object = std::move(*copy);
    });
}

void SaveChanges::noteAddedObject(Handle handle) {
    Drawing& d = drawing_;
    undo_.push_back([&d, handle] { dbDeleteObject(&d, handle); });
}

void SaveChanges::keepDrawingState() {
    auto header = std::make_shared<HeaderBlock>(*drawing_.header);
    auto classes = std::make_shared<ClassList>(drawing_.classes);
    const DrawingHandles handles = drawing_.handles;
    const Handle seed = drawing_.handleSeed;
    Drawing& d = drawing_;
    undo_.push_back([&d, header, classes, handles, seed] {
        *d.header = *header;
        d.classes = *classes;
        d.handles = handles;
        d.handleSeed = seed;
    });
}

namespace {

template <class List>
std::vector<std::string> namesOf(const List& list) {
    std::vector<std::string> names;
    for (const auto& node : list) names.push_back(node.record.name);
    return names;
}

template <class List>
void restoreNames(List& list, const std::vector<std::string>& names) {
    size_t i = 0;
    for (auto& node : list) {
        if (i < names.size()) node.record.name = names[i++];
    }
}

struct KeptBlock {
    std::string name;
    Handle layout;
    Handle extensionDictionary;
    std::string beginName;  // the name of its BLOCK entity
};

} // namespace

void SaveChanges::keepTableRecords() {
    struct Kept {
        std::vector<std::string> layers, linetypes, styles, views, ucss, vports, appIds, dimStyles;
        std::vector<Handle> plotStyles;
        std::vector<KeptBlock> blocks;
    };
    auto kept = std::make_shared<Kept>();
    kept->layers = namesOf(drawing_.layers);
    kept->linetypes = namesOf(drawing_.linetypes);
    kept->styles = namesOf(drawing_.styles);
    kept->views = namesOf(drawing_.views);
    kept->ucss = namesOf(drawing_.ucss);
    kept->vports = namesOf(drawing_.vports);
    kept->appIds = namesOf(drawing_.appIds);
    kept->dimStyles = namesOf(drawing_.dimStyles);
    for (const auto& layer : drawing_.layers) kept->plotStyles.push_back(layer.record.plotStyle);
    for (const BlockNode& block : drawing_.blocks) {
        KeptBlock k{block.record.name, block.record.layout, block.record.extensionDictionary, {}};
        if (block.entityList) {
            for (const auto& node : *block.entityList) {
                if (const auto* begin = node.record.body.getIf<BlockBeginBody>()) {
                    k.beginName = begin->name;
                    break;
                }
            }
        }
        kept->blocks.push_back(std::move(k));
    }
    Drawing& d = drawing_;
    undo_.push_back([&d, kept] {
        restoreNames(d.layers, kept->layers);
        restoreNames(d.linetypes, kept->linetypes);
        restoreNames(d.styles, kept->styles);
        restoreNames(d.views, kept->views);
        restoreNames(d.ucss, kept->ucss);
        restoreNames(d.vports, kept->vports);
        restoreNames(d.appIds, kept->appIds);
        restoreNames(d.dimStyles, kept->dimStyles);
        size_t i = 0;
        for (auto& layer : d.layers) {
            if (i < kept->plotStyles.size()) layer.record.plotStyle = kept->plotStyles[i++];
        }
        i = 0;
        for (BlockNode& block : d.blocks) {
            if (i >= kept->blocks.size()) break;
            const KeptBlock& k = kept->blocks[i++];
            block.record.name = k.name;
            block.record.layout = k.layout;
            block.record.extensionDictionary = k.extensionDictionary;
            if (!block.entityList) continue;
            for (auto& node : *block.entityList) {
                if (auto* begin = node.record.body.getIf<BlockBeginBody>()) {
                    begin->name = k.beginName;
                    break;
                }
            }
        }
        dbMarkBlockIndexStale(&d);
    });
}

void SaveChanges::undo() {
    while (!undo_.empty()) {
        std::function<void()> step = std::move(undo_.back());
        undo_.pop_back();
        step();
    }
    kept_.clear();
}

} // namespace tracemill
