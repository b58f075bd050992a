#include "app/image/color_quantizer.h"

#include <array>
#include <memory>

namespace tracemill {
namespace {

constexpr int kMaxDepth = 8;

struct OctreeNode {
    bool leaf = false;
    uint64_t pixelCount = 0;
    uint64_t redSum = 0, greenSum = 0, blueSum = 0;
    std::array<std::unique_ptr<OctreeNode>, 8> children;
    OctreeNode* nextReducible = nullptr;
};

class Octree {
public:
    explicit Octree(int depth) : depth_(depth) {}

    void addColor(uint8_t red, uint8_t green, uint8_t blue) { addColor(root_, red, green, blue, 0); }
    uint32_t leafCount() const { return leafCount_; }

    // Merges the children of the newest reducible node of the deepest level that has one.
    // False when no interior node is left to merge.
    bool reduceTree() {
        int level = depth_ - 1;
        if (level < 0) return false;
        while (level > 0 && !reducible_[size_t(level)]) --level;
        OctreeNode* node = reducible_[size_t(level)];
        if (!node) return false;
        reducible_[size_t(level)] = node->nextReducible;
        uint64_t red = 0, green = 0, blue = 0;
        uint32_t children = 0;
        for (auto& child : node->children) {
            if (!child) continue;
            red += child->redSum;
            green += child->greenSum;
            blue += child->blueSum;
            node->pixelCount += child->pixelCount;
            child.reset();
            ++children;
        }
        node->leaf = true;
        node->redSum = red;
        node->greenSum = green;
        node->blueSum = blue;
        leafCount_ -= children - 1;
        return true;
    }

    Palette paletteColors() const {
        Palette palette;
        palette.reserve(leafCount_);
        collect(root_.get(), palette);
        return palette;
    }

private:
    void addColor(std::unique_ptr<OctreeNode>& slot, uint8_t red, uint8_t green, uint8_t blue, int level) {
        if (!slot) {
            slot = std::make_unique<OctreeNode>();
            if (level == depth_) {
                slot->leaf = true;
                ++leafCount_;
            } else {
                slot->nextReducible = reducible_[size_t(level)];
                reducible_[size_t(level)] = slot.get();
            }
        }
        OctreeNode& node = *slot;
        if (node.leaf) {
            ++node.pixelCount;
            node.redSum += red;
            node.greenSum += green;
            node.blueSum += blue;
            return;
        }
        const int shift = 7 - level;
        const uint8_t mask = uint8_t(0x80 >> level);
        const int index = (((red & mask) >> shift) << 2) | (((green & mask) >> shift) << 1) | ((blue & mask) >> shift);
        addColor(node.children[size_t(index)], red, green, blue, level + 1);
    }

    static void collect(const OctreeNode* node, Palette& palette) {
        if (!node) return;
        if (node->leaf) {
            const uint64_t n = node->pixelCount ? node->pixelCount : 1;
            palette.push_back({uint8_t(node->redSum / n), uint8_t(node->greenSum / n), uint8_t(node->blueSum / n), 0});
            return;
        }
        for (const auto& child : node->children) collect(child.get(), palette);
    }

    int depth_;
    std::unique_ptr<OctreeNode> root_;
    uint32_t leafCount_ = 0;
    std::array<OctreeNode*, kMaxDepth + 1> reducible_{};
};

} // namespace

std::optional<Palette> CreateOctreePaletteFromDib(const PackedDib& dib, int maxColours, int depth) {
    if (depth < 0 || depth > kMaxDepth || maxColours < 1) return std::nullopt;
    const BitmapInfoHeader& h = dib.header;
    const int bitCount = h.biBitCount;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return std::nullopt;
    if (h.biCompression == kBiRle8 || h.biCompression == kBiRle4 || h.biWidth < 1 || h.biHeight < 1)
        return std::nullopt;
    Octree tree(depth);
    const uint32_t limit = uint32_t(maxColours);
    for (int32_t row = 0; row < h.biHeight; ++row) {
        for (int32_t x = 0; x < h.biWidth; ++x) {
            const uint32_t rgb = DibStoredPixelRgb(dib, x, row);
            tree.addColor(uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb));
            while (tree.leafCount() > limit && tree.reduceTree()) {
            }
        }
    }
    if (tree.leafCount() > limit) return std::nullopt;
    return tree.paletteColors();
}

} // namespace tracemill
