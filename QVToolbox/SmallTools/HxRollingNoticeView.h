// HxRollingNoticeView: a one-line notice board that shows one cell at a time and, every
// `stayInterval` seconds, slides it up and out while the next row slides in from below.
//
//   board->register_<HxNoticeViewCell>("text");         // the cell type for an identifier
//   board->setDataSource(source);                        // answers the two selectors below
//   board->reloadDataAndStartRoll();                     // row 0 at once, sliding to row 1 now,
//   // then every stayInterval (2 s): 0, 1, 2, 0, ...   // the run loop's timer drives it
//
// The data source and delegate are objects of the runtime, held weakly and sent messages by
// selector: `numberOfRowsForRoolingView:` (the board; answers an integer),
// `rollingNoticeViewWithRoolingView:cellAtIndex:` (the board and the row; answers a
// HxNoticeViewCell) and, when the delegate responds to it, `rollingNoticeView:didClickAt:`
// (the board and `currentIndex`) on a tap. HxRollingNoticeViewDataSource and
// HxRollingNoticeViewDelegate register those selectors for C++ overrides.
//
// Rules beyond the plain algorithm: a tick finding no rows stops the roll (status idle) rather
// than asking for row 0; the reuse pool keeps only cells that have an identifier, at most
// kMaxReusableCellsPerIdentifier of each, and a dequeue passes over cells of other identifiers;
// a slide's completion acts only on the cells it moved and only if no stop or reload came
// between; the timer holds the board weakly, so a released board stops ticking.
// Slides are 0.5 s view animations (UIView::animate, ease-in-out) of the two cells' frames.
// Thread rule: main thread only; the timer runs on the main run loop in the common modes.
#pragma once

#include <QVToolbox/SmallTools/HxNoticeViewCell.h>

#include <QVPlatform/dispatch/Timer.h>
#include <QVPlatform/ui/UIView.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace QVToolbox {

class HxRollingNoticeView;

enum class HxRollingNoticeViewStatus { idle = 0, working = 1, pause = 2 };

// Registers the two data-source selectors, forwarding to the overrides.
class HxRollingNoticeViewDataSource
    : public platform::NSObjectSubclass<HxRollingNoticeViewDataSource, platform::NSObject, "HxRollingNoticeViewDataSource"> {
public:
    static void registerClass(platform::ObjCClass& cls);
    virtual int numberOfRowsForRoolingView(HxRollingNoticeView& roolingView) = 0;
    virtual std::shared_ptr<HxNoticeViewCell> rollingNoticeView(HxRollingNoticeView& roolingView, int cellAtIndex) = 0;
};

// Registers `rollingNoticeView:didClickAt:`, forwarding to the override.
class HxRollingNoticeViewDelegate
    : public platform::NSObjectSubclass<HxRollingNoticeViewDelegate, platform::NSObject, "HxRollingNoticeViewDelegate"> {
public:
    static void registerClass(platform::ObjCClass& cls);
    virtual void rollingNoticeView(HxRollingNoticeView& roolingView, int didClickAt) = 0;
};

// A cell "class": makes a cell for (reuse identifier, leading, trailing).
using HxNoticeCellClass = std::function<std::shared_ptr<HxNoticeViewCell>(const std::string&, double, double)>;
// A cell "nib": its top-level objects, made anew each time; the first must be the cell.
using HxNoticeCellNib = std::function<std::vector<platform::Any::Object>()>;

class HxRollingNoticeView : public platform::NSObjectSubclass<HxRollingNoticeView, platform::UIView, "HxRollingNoticeView"> {
public:
    static constexpr std::size_t kMaxReusableCellsPerIdentifier = 4;
    static constexpr double kSlideDuration = 0.5;

    explicit HxRollingNoticeView(platform::CGRect frame = {});
    ~HxRollingNoticeView() override;

    std::shared_ptr<platform::NSObject> dataSource() const { return dataSource_.lock(); }
    void setDataSource(const std::shared_ptr<platform::NSObject>& dataSource) { dataSource_ = dataSource; }
    std::shared_ptr<platform::NSObject> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<platform::NSObject>& delegate) { delegate_ = delegate; }
    double stayInterval() const { return stayInterval_; }
    // Values that are not finite or not above zero are ignored.
    void setStayInterval(double seconds);
    HxRollingNoticeViewStatus status() const { return status_; }
    // The row shown: 0 without a data source; reset to 0 when past the last row.
    int currentIndex();

    // `register` is a C++ keyword: the members take a trailing underscore. A later
    // registration for an identifier replaces the earlier one.
    void register_(HxNoticeCellClass cellClass, const std::string& forCellReuseIdentifier);
    void register_(HxNoticeCellNib nib, const std::string& forCellReuseIdentifier);
    template <class Cell>
    void register_(const std::string& forCellReuseIdentifier) {
        register_(HxNoticeCellClass([](const std::string& id, double leading, double trailing) {
                      return std::make_shared<Cell>(id, leading, trailing);
                  }),
                  forCellReuseIdentifier);
    }
    // A waiting cell of that identifier (it stays in the pool until laid out), else a new one
    // from the registration; null when nothing is registered or the nib gives no cell.
    std::shared_ptr<HxNoticeViewCell> dequeueReusableCell(const std::string& withIdentifier);

    void reloadDataAndStartRoll();
    void stopRoll();
    void pause();
    void resume();

    // Read-only views of the state, for hosts and tests.
    const std::shared_ptr<HxNoticeViewCell>& currentCell() const { return currentCell_; }
    const std::shared_ptr<HxNoticeViewCell>& willShowCell() const { return willShowCell_; }
    bool isAnimating() const { return isAnimating_; }
    const std::vector<std::shared_ptr<HxNoticeViewCell>>& reuseCells() const { return reuseCells_; }
    const platform::TimerPtr& timer() const { return timer_; }

    void layoutSubviews() override;
    void didMoveToSuperview() override;

private:
    int rowCount() const;
    std::shared_ptr<HxNoticeViewCell> cellAt(int index);
    void layoutCurrentAndWillShowCell();
    void timerHandle();
    void slide();
    void recycle(const std::shared_ptr<HxNoticeViewCell>& cell);
    void takeFromPool(const HxNoticeViewCell* cell);
    void handleCellTapAction();

    std::weak_ptr<platform::NSObject> dataSource_;
    std::weak_ptr<platform::NSObject> delegate_;
    double stayInterval_ = 2;
    HxRollingNoticeViewStatus status_ = HxRollingNoticeViewStatus::idle;
    int _cIdx = 0;
    bool _needTryRoll = false;
    std::map<std::string, std::variant<HxNoticeCellClass, HxNoticeCellNib>> cellClsDict;
    std::vector<std::shared_ptr<HxNoticeViewCell>> reuseCells_;
    platform::TimerPtr timer_;
    std::shared_ptr<HxNoticeViewCell> currentCell_;
    std::shared_ptr<HxNoticeViewCell> willShowCell_;
    bool isAnimating_ = false;
    bool hasTapRecognizer_ = false;
    std::uint64_t rollGeneration_ = 0;  // bumped by stopRoll: older slides' completions do nothing
};

}  // namespace QVToolbox
