// The layouts of a drawing object: model space and the paper layouts that hold a viewport,
// the switch between them with a view remembered per layout, and the plot area of a layout.
#include <new>

#include "app/render/draw_abort_hook.h"
#include "app/render/drawing_object.h"
#include "app/render/hook_sets.h"
#include "app/render/plot_area.h"
#include "app/services/language_texts.h"
#include "toolkit/core/current_layout.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/object_access.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/display/display_interface.h"

namespace tracemill {
namespace {

// Without layout records a drawing has two layouts: model space and paper space.
constexpr size_t kImplicitLayouts = 2;
constexpr double kLeastViewSize = 1e-9;

std::string modelLayoutText() { return LookupText("LayoutModal", "Modal"); }
std::string paperLayoutText() { return LookupText("LayoutPaper", "Paper"); }

// True when the block holds a viewport entity.
bool blockHasViewport(Drawing* drawing, Handle block, BlockRecord& scratch) {
    if (!dbBlockGet(drawing, block, scratch) || !scratch.entities) return false;
    for (const EntityNode& node : *scratch.entities) {
        if (node.record.header.type == kEntityViewport) return true;
    }
    return false;
}

} // namespace

void CDrawingObject::BuildLayoutList() {
    LayoutBody current;
    const bool paperSpace = header_ && header_->tilemode == 0;
    const bool haveCurrent = dbApplyCurrentLayout(drawing_, paperSpace, current) != 0;
    layoutCount_ = 0;
    layouts_.clear();
    layoutViews_.clear();
    layoutViewSaved_.clear();
    auto implicitLayouts = [&] {
        layoutViews_.assign(kImplicitLayouts, ViewBlock{});
        layoutViewSaved_.assign(kImplicitLayouts, 0);
        currentLayout_ = header_ && header_->tilemode == 0 ? 1 : 0;
    };
    if (!drawing_ || dbGetVersionIndex(drawing_) < kVersionIndex2000 || !work_) {
        implicitLayouts();
        return;
    }

    int32_t currentIndex = 0;
    const uint16_t layoutClass = dbClassLayout(drawing_->classes);
    ObjectRecord& object = work_->object;
    try {
        dbObjectRewind(drawing_);
        while (dbObjectRead(drawing_, object)) {
            if (layoutClass == 0 || object.header.type != layoutClass) continue;
            const LayoutBody* layout = object.body.getIf<LayoutBody>();
            if (!layout || !dbBlockGet(drawing_, layout->block, work_->block)) continue;
            const bool isCurrent = haveCurrent && layout->block == current.block;
            size_t index = 0;
            if (dbEqualsNoCase(layout->name, "Model")) {
                if (isCurrent) currentIndex = 0;
            } else {
                if (!blockHasViewport(drawing_, layout->block, work_->block)) continue;
                index = size_t(layoutCount_) + 1;
                ++layoutCount_;
                if (isCurrent) {
                    currentIndex = int32_t(index);
                    if (header_) header_->tilemode = 0;
                }
            }
            if (layouts_.size() <= index) {
                layouts_.resize(index + 1);
                layoutViews_.resize(index + 1);
                layoutViewSaved_.resize(index + 1, 0);
            }
            layouts_[index] = *layout;
            layoutViewSaved_[index] = 0;
        }
    } catch (const std::bad_alloc&) {
        layoutCount_ = 0;
        layouts_.clear();
        layoutViews_.clear();
        layoutViewSaved_.clear();
        return;
    }
    if (layoutCount_ > 0) {
        ++layoutCount_;
        if (layouts_.size() < size_t(layoutCount_)) layouts_.resize(size_t(layoutCount_));
        layoutViews_.resize(layouts_.size());
        layoutViewSaved_.resize(layouts_.size(), 0);
        if (currentIndex < 0 || currentIndex >= layoutCount_) currentIndex = 0;
        if (currentIndex > 0 && header_ && header_->tilemode == 1) currentIndex = 0;
        currentLayout_ = -1;
        SetActiveLayout(currentIndex);
        return;
    }
    layouts_.clear();
    implicitLayouts();
    const int32_t implicitIndex = currentLayout_;
    currentLayout_ = -1;
    SetActiveLayout(implicitIndex);
}

void CDrawingObject::SetActiveLayout(int32_t index) {
    if (!drawing_) return;
    layoutBlock_ = Handle();
    if (index != 0) {
        if (header_) header_->tilemode = 0;
        if (layoutCount_ > 1 && index < layoutCount_) layoutBlock_ = layouts_[size_t(index)].block;
    } else if (header_) {
        header_->tilemode = 1;
    }
    if (currentLayout_ >= 0 && size_t(currentLayout_) < layoutViews_.size()) {
        layoutViews_[size_t(currentLayout_)] = view_;
        layoutViewSaved_[size_t(currentLayout_)] = 1;
        if (layoutCount_ > 1 && currentLayout_ < layoutCount_ && work_) {
            VportRecord& record = work_->vport;
            if (dbVportGet(drawing_, layouts_[size_t(currentLayout_)].lastActiveViewport, record)) {
                WriteViewToViewport(&view_, &record);
                dbVportUpdate(drawing_, record);
            }
        }
    }
    currentLayout_ = index;
    ClearViewHistory();
    dbMakeLayoutBlockCurrent(drawing_, layoutBlock_);
    genBeginDisplay(drawing_, view_, deviceRect_, &cacheRect_, &layoutBlock_);
    if (!(view_.width > kLeastViewSize)) view_.width = 1.0;
    if (!(view_.height > kLeastViewSize)) view_.height = 1.0;
    // The layout's own view is the size the next pass fits to its target, not the size the
    // layout before it was zoomed to.
    lastViewWidth_ = view_.width;
    lastViewHeight_ = view_.height;
    PrepareView();
    try {
        InstallNullHooks();
        StoreDrawingFolder();
        SetDrawAbortHook(false);
        genDrawDrawing(drawing_);
    } catch (...) {
        // A failed pass leaves the view as the display context made it.
    }
    InstallScreenHooks();
    if (index >= 0 && size_t(index) < layoutViewSaved_.size() && layoutViewSaved_[size_t(index)]) {
        view_ = layoutViews_[size_t(index)];
        lastViewWidth_ = view_.width;
        lastViewHeight_ = view_.height;
    }
    ResetViewCache();
}

int32_t CDrawingObject::GetLayoutNames(std::vector<std::string>* names) {
    if (names) names->clear();
    if (!openFlag_) return -1;
    if (layoutCount_ > 0) {
        for (int32_t i = 0; i < layoutCount_; ++i) {
            if (names) names->push_back(layouts_[size_t(i)].name);
        }
        return currentLayout_;
    }
    if (names) {
        names->push_back(modelLayoutText());
        names->push_back(paperLayoutText());
    }
    currentLayout_ = header_ && header_->tilemode >= 1 ? 0 : 1;
    return currentLayout_;
}

std::string CDrawingObject::GetActiveLayoutName() const {
    if (layoutCount_ > 0 && currentLayout_ >= 0 && currentLayout_ < layoutCount_)
        return layouts_[size_t(currentLayout_)].name;
    return currentLayout_ != 0 ? paperLayoutText() : modelLayoutText();
}

PlotArea CDrawingObject::LayoutPlotArea(int32_t index) const {
    const Rect2 area = LayoutPrintableArea(layouts_[size_t(index)], true);
    PlotArea plot;
    plot.min = {area.min.x, area.min.y, 0.0};
    plot.max = {area.max.x, area.max.y, 0.0};
    plot.width = area.max.x - area.min.x;
    plot.height = area.max.y - area.min.y;
    return plot;
}

int16_t CDrawingObject::GetLayoutPaperSize(int32_t index, double* width, double* height) const {
    if (index == -1) index = currentLayout_;
    if (!openFlag_ || layoutCount_ <= 1 || index < 1 || index >= layoutCount_) return 0;
    const PlotArea plot = LayoutPlotArea(index);
    if (width) *width = plot.width;
    if (height) *height = plot.height;
    return 1;
}

int16_t CDrawingObject::GetLayoutPlotSettings(int32_t index, double block[8]) const {
    if (index == -1) index = currentLayout_;
    if (!openFlag_ || layoutCount_ <= 1 || index < 1 || index >= layoutCount_ || !block) return 0;
    const PlotArea plot = LayoutPlotArea(index);
    const int16_t type = layouts_[size_t(index)].settings.plotType;
    const bool limits = type == kPlotTypeLayout || type == kPlotTypeLimits;
    block[0] = plot.min.x;
    block[1] = plot.min.y;
    if (limits) block[2] = 0.0;
    block[3] = plot.max.x;
    block[4] = plot.max.y;
    if (limits) block[5] = 0.0;
    block[6] = plot.width;
    block[7] = plot.height;
    return 1;
}

} // namespace tracemill
