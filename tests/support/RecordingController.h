// A view controller that writes its lifecycle messages to a shared log, as "name:message".
#pragma once

#include <QVPlatform/ui/UIViewController.h>

#include <memory>
#include <string>
#include <vector>

namespace testing_support {

using Log = std::shared_ptr<std::vector<std::string>>;

class RecordingController : public platform::NSObjectSubclass<RecordingController, platform::UIViewController, "RecordingController"> {
public:
    RecordingController(std::string name, Log log) : name_(std::move(name)), log_(std::move(log)) {}
    static std::shared_ptr<RecordingController> make(std::string name, Log log) {
        return std::make_shared<RecordingController>(std::move(name), std::move(log));
    }

protected:
    void viewDidLoad() override { write("viewDidLoad"); }
    void viewWillAppear(bool) override { write("willAppear"); }
    void viewDidAppear(bool) override { write("didAppear"); }
    void viewWillDisappear(bool) override { write("willDisappear"); }
    void viewDidDisappear(bool) override { write("didDisappear"); }

private:
    void write(const std::string& message) { log_->push_back(name_ + ":" + message); }
    std::string name_;
    Log log_;
};

inline Log makeLog() { return std::make_shared<std::vector<std::string>>(); }

}  // namespace testing_support
