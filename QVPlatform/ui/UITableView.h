// UITableView: a scroll view over a data source's rows, in sections. Here it answers the row
// counts that views over it need (an empty-state overlay shows when there are none); it lays
// out no cells.
//
//   auto table = std::make_shared<UITableView>(CGRect{{0, 0}, {320, 480}});
//   table->setDataSource(source);                  // held weakly
//   table->numberOfRowsInSection(0);               // source->numberOfRowsInSection(*table, 0)
//
// Counts are asked once and kept until reloadData; a count below zero counts as zero, and
// without a data source there are no sections. Thread rule: main thread only.
#pragma once

#include <QVPlatform/base/NSRange.h>
#include <QVPlatform/ui/UIScrollView.h>

#include <memory>
#include <optional>
#include <vector>

namespace platform {

class UITableView;

class UITableViewDataSource {
public:
    virtual ~UITableViewDataSource() = default;
    virtual NSInteger numberOfSections(UITableView& /*table*/) { return 1; }
    virtual NSInteger numberOfRowsInSection(UITableView& table, NSInteger section) = 0;
};

class UITableView : public NSObjectSubclass<UITableView, UIScrollView, "UITableView"> {
public:
    using NSObjectSubclass::NSObjectSubclass;

    std::shared_ptr<UITableViewDataSource> dataSource() const { return dataSource_.lock(); }
    void setDataSource(const std::shared_ptr<UITableViewDataSource>& source);

    // Forgets the counts; the next question asks the data source again.
    void reloadData();
    NSInteger numberOfSections();
    // 0 for a section that does not exist.
    NSInteger numberOfRowsInSection(NSInteger section);

private:
    std::weak_ptr<UITableViewDataSource> dataSource_;
    std::optional<std::vector<NSInteger>> counts_;  // per section, until reloadData
};

}  // namespace platform
