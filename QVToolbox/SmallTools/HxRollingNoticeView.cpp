#include <QVToolbox/SmallTools/HxRollingNoticeView.h>

#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/ui/UIGestureRecognizer.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace QVToolbox {

using platform::Any;
using platform::CGRect;

namespace {

constexpr const char* kNumberOfRows = "numberOfRowsForRoolingView:";
constexpr const char* kCellAtIndex = "rollingNoticeViewWithRoolingView:cellAtIndex:";
constexpr const char* kDidClickAt = "rollingNoticeView:didClickAt:";

// The board a message names as its first argument (null when it is no board).
HxRollingNoticeView* boardArgument(const Any::List& arguments) {
    if (arguments.empty()) return nullptr;
    return dynamic_cast<HxRollingNoticeView*>(arguments[0].object().get());
}

int indexArgument(const Any::List& arguments) {
    if (arguments.size() < 2) return 0;
    const auto value = arguments[1].integerValue();
    return static_cast<int>(std::clamp<std::int64_t>(value, 0, std::numeric_limits<int>::max()));
}

}  // namespace

void HxRollingNoticeViewDataSource::registerClass(platform::ObjCClass& cls) {
    cls.addMethod(kNumberOfRows, [](platform::NSObject& self, const Any::List& arguments) -> Any {
        auto* board = boardArgument(arguments);
        if (!board) return 0;
        return static_cast<HxRollingNoticeViewDataSource&>(self).numberOfRowsForRoolingView(*board);
    });
    cls.addMethod(kCellAtIndex, [](platform::NSObject& self, const Any::List& arguments) -> Any {
        auto* board = boardArgument(arguments);
        if (!board) return {};
        return Any(static_cast<HxRollingNoticeViewDataSource&>(self).rollingNoticeView(*board, indexArgument(arguments)));
    });
}

void HxRollingNoticeViewDelegate::registerClass(platform::ObjCClass& cls) {
    cls.addMethod(kDidClickAt, [](platform::NSObject& self, const Any::List& arguments) -> Any {
        if (auto* board = boardArgument(arguments)) {
            static_cast<HxRollingNoticeViewDelegate&>(self).rollingNoticeView(*board, indexArgument(arguments));
        }
        return {};
    });
}

HxRollingNoticeView::HxRollingNoticeView(CGRect frame) : NSObjectSubclass(frame) {
    setClipsToBounds(true);
}

void HxRollingNoticeView::didMoveToSuperview() {
    // Installed once the board lives in a shared pointer (the recognizer records its view);
    // a board can only be tapped once it is in a tree. The action holds the board weakly.
    if (hasTapRecognizer_ || weak_from_this().expired()) return;
    hasTapRecognizer_ = true;
    addGestureRecognizer(std::make_shared<platform::UITapGestureRecognizer>([](platform::UIGestureRecognizer& tap) {
        if (auto board = std::dynamic_pointer_cast<HxRollingNoticeView>(tap.view())) board->handleCellTapAction();
    }));
}

HxRollingNoticeView::~HxRollingNoticeView() {
    if (timer_) timer_->invalidate();
}

void HxRollingNoticeView::setStayInterval(double seconds) {
    if (std::isfinite(seconds) && seconds > 0) stayInterval_ = seconds;
}

int HxRollingNoticeView::currentIndex() {
    if (!dataSource_.lock()) return 0;
    if (_cIdx > rowCount() - 1) _cIdx = 0;
    return _cIdx;
}

int HxRollingNoticeView::rowCount() const {
    const auto source = dataSource_.lock();
    if (!source || !source->respondsToSelector(kNumberOfRows)) return 0;
    const auto self = std::const_pointer_cast<HxRollingNoticeView>(
        std::static_pointer_cast<const HxRollingNoticeView>(weak_from_this().lock()));
    const auto rows = source->perform(kNumberOfRows, Any(self)).integerValue();
    return static_cast<int>(std::clamp<std::int64_t>(rows, 0, std::numeric_limits<int>::max()));
}

std::shared_ptr<HxNoticeViewCell> HxRollingNoticeView::cellAt(int index) {
    const auto source = dataSource_.lock();
    if (!source || !source->respondsToSelector(kCellAtIndex)) return nullptr;
    const auto self = std::static_pointer_cast<HxRollingNoticeView>(weak_from_this().lock());
    auto cell = std::dynamic_pointer_cast<HxNoticeViewCell>(source->perform(kCellAtIndex, Any(self), Any(index)).object());
    // A cell on the board already cannot also be the next one.
    if (cell && (cell == currentCell_ || cell == willShowCell_)) return nullptr;
    return cell;
}

void HxRollingNoticeView::register_(HxNoticeCellClass cellClass, const std::string& forCellReuseIdentifier) {
    if (cellClass) cellClsDict[forCellReuseIdentifier] = std::move(cellClass);
}

void HxRollingNoticeView::register_(HxNoticeCellNib nib, const std::string& forCellReuseIdentifier) {
    if (nib) cellClsDict[forCellReuseIdentifier] = std::move(nib);
}

std::shared_ptr<HxNoticeViewCell> HxRollingNoticeView::dequeueReusableCell(const std::string& withIdentifier) {
    for (const auto& cell : reuseCells_) {
        if (cell->reuseIdentifier() == withIdentifier) return cell;
    }
    const auto registered = cellClsDict.find(withIdentifier);
    if (registered == cellClsDict.end()) return nullptr;
    if (const auto* cellClass = std::get_if<HxNoticeCellClass>(&registered->second)) {
        return (*cellClass)(withIdentifier, 10, 10);
    }
    const auto objects = std::get<HxNoticeCellNib>(registered->second)();
    if (objects.empty()) return nullptr;
    auto cell = std::dynamic_pointer_cast<HxNoticeViewCell>(objects.front());
    if (cell) cell->setValue(Any(withIdentifier), "reuseIdentifier");
    return cell;
}

void HxRollingNoticeView::layoutCurrentAndWillShowCell() {
    if (!dataSource_.lock()) return;
    const int rows = rowCount();
    if (rows <= 0) {
        // The rows are gone: stop rather than ask for a row that does not exist.
        stopRoll();
        return;
    }
    if (_cIdx > rows - 1) _cIdx = 0;
    const int next = _cIdx + 1 > rows - 1 ? 0 : _cIdx + 1;
    const CGRect box = bounds();
    const double w = box.size.width, h = box.size.height;
    if (!(w > 0) || !(h > 0)) {
        _needTryRoll = true;
        return;
    }
    if (!currentCell_) {
        auto cell = cellAt(_cIdx);
        if (!cell) return;
        cell->setFrame({{0, 0}, {w, h}});
        addSubview(cell);
        takeFromPool(cell.get());
        currentCell_ = std::move(cell);
        return;
    }
    auto cell = cellAt(next);
    if (!cell) return;
    cell->setFrame({{0, h}, {w, h}});
    addSubview(cell);
    willShowCell_ = std::move(cell);
    takeFromPool(currentCell_.get());
    takeFromPool(willShowCell_.get());
}

void HxRollingNoticeView::timerHandle() {
    if (isAnimating_) return;
    layoutCurrentAndWillShowCell();
    if (!currentCell_ || !willShowCell_) return;
    isAnimating_ = true;
    slide();
}

void HxRollingNoticeView::slide() {
    const CGRect box = bounds();
    const double w = box.size.width, h = box.size.height;
    const auto moving = currentCell_, coming = willShowCell_;
    const auto generation = rollGeneration_;
    const std::weak_ptr<HxRollingNoticeView> weakSelf =
        std::static_pointer_cast<HxRollingNoticeView>(weak_from_this().lock());
    // The completion acts on the cells this slide moved, and only if no stop or reload came
    // between: a reload during a slide must not move its fresh cells off the board.
    auto completion = [weakSelf, moving, coming, generation](bool) {
        const auto self = weakSelf.lock();
        if (!self || self->rollGeneration_ != generation) return;
        if (self->currentCell_ == moving && self->willShowCell_ == coming) {
            self->recycle(moving);
            moving->removeFromSuperview();
            self->currentCell_ = coming;
            self->willShowCell_ = nullptr;
            self->_cIdx += 1;
        }
        self->isAnimating_ = false;
    };
    platform::UIView::animate(kSlideDuration, [&] {
        moving->setFrame({{0, -h}, {w, h}});
        coming->setFrame({{0, 0}, {w, h}});
    }, std::move(completion));
}

void HxRollingNoticeView::recycle(const std::shared_ptr<HxNoticeViewCell>& cell) {
    // Only cells with an identifier can ever be dequeued; each identifier keeps a few.
    if (!cell->reuseIdentifier()) return;
    const auto same = std::count_if(reuseCells_.begin(), reuseCells_.end(), [&](const auto& waiting) {
        return waiting->reuseIdentifier() == cell->reuseIdentifier();
    });
    if (static_cast<std::size_t>(same) >= kMaxReusableCellsPerIdentifier) return;
    reuseCells_.push_back(cell);
}

void HxRollingNoticeView::takeFromPool(const HxNoticeViewCell* cell) {
    std::erase_if(reuseCells_, [cell](const auto& waiting) { return waiting.get() == cell; });
}

void HxRollingNoticeView::reloadDataAndStartRoll() {
    stopRoll();
    const int rows = rowCount();
    if (rows >= 1) layoutCurrentAndWillShowCell();
    if (rows > 1 && !_needTryRoll) {
        const std::weak_ptr<HxRollingNoticeView> weakSelf =
            std::static_pointer_cast<HxRollingNoticeView>(weak_from_this().lock());
        // The timer holds the board weakly: a board that is gone ends its timer.
        timer_ = platform::Timer::make(stayInterval_, true, [weakSelf](platform::Timer& timer) {
            if (auto self = weakSelf.lock()) {
                self->timerHandle();
            } else {
                timer.invalidate();
            }
        });
        platform::RunLoop::main().add(timer_, platform::RunLoop::Mode::common);
        resume();
    }
}

void HxRollingNoticeView::stopRoll() {
    if (timer_) {
        timer_->invalidate();
        timer_ = nullptr;
    }
    status_ = HxRollingNoticeViewStatus::idle;
    isAnimating_ = false;
    _cIdx = 0;
    ++rollGeneration_;
    if (currentCell_) currentCell_->removeFromSuperview();
    if (willShowCell_) willShowCell_->removeFromSuperview();
    currentCell_ = nullptr;
    willShowCell_ = nullptr;
    reuseCells_.clear();
}

void HxRollingNoticeView::pause() {
    if (!timer_) return;
    timer_->setFireDate(platform::Date::distantFuture());
    status_ = HxRollingNoticeViewStatus::pause;
}

void HxRollingNoticeView::resume() {
    if (!timer_) return;
    // Due now: it fires at the next run-loop turn and then every stayInterval from now.
    timer_->setFireDate(platform::Date::now());
    status_ = HxRollingNoticeViewStatus::working;
}

void HxRollingNoticeView::layoutSubviews() {
    UIView::layoutSubviews();
    if (_needTryRoll) {
        _needTryRoll = false;  // cleared first: a start that still finds no size asks again
        reloadDataAndStartRoll();
    }
}

void HxRollingNoticeView::handleCellTapAction() {
    const auto target = delegate_.lock();
    if (!target || !target->respondsToSelector(kDidClickAt)) return;
    const auto self = std::static_pointer_cast<HxRollingNoticeView>(weak_from_this().lock());
    target->perform(kDidClickAt, Any(self), Any(currentIndex()));
}

}  // namespace QVToolbox
