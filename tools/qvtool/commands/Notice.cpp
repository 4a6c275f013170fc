// `qvtool notice --rows A,B,C --at 0,2,4.25 -o DIR`: the rolling notice board on the manual
// clock, one PNG per instant. The board (320×44 points, white, each row a text cell on a
// pale tint of its own) starts at time 0, so with the default stay of 2 s the first slide
// runs from 0 to 0.5 s and the next ones from 2, 4, ... . Files are DIR/000.png, 001.png...
// in the order of the instants; one line per frame names the file, the instant and the row.
#include "../Cli.h"
#include "../Input.h"
#include "../Replay.h"

#include <QVToolbox/SmallTools/HxRollingNoticeView.h>

#include <QVPlatform/base/Clock.h>
#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/foundation/AtomicFile.h>
#include <QVPlatform/ui/UIColor.h>
#include <QVPlatform/ui/UIWindow.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace qvtool {
namespace {

using namespace QVToolbox;

class TextRows : public platform::NSObjectSubclass<TextRows, HxRollingNoticeViewDataSource, "QvtoolNoticeRows"> {
public:
    std::vector<std::string> rows;
    int numberOfRowsForRoolingView(HxRollingNoticeView&) override { return static_cast<int>(rows.size()); }
    std::shared_ptr<HxNoticeViewCell> rollingNoticeView(HxRollingNoticeView& board, int index) override {
        auto cell = board.dequeueReusableCell("text");
        static const double tints[][3] = {{1, 0.93, 0.85}, {0.87, 0.95, 1}, {0.9, 1, 0.88}};
        const auto* tint = tints[index % 3];
        cell->contentView()->setBackgroundColor(platform::UIColor::colorWithRed(tint[0], tint[1], tint[2], 1));
        cell->textLabel()->setText(rows[static_cast<std::size_t>(index)]);
        return cell;
    }
};

std::vector<std::string> split(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const auto comma = text.find(',', start);
        parts.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) return parts;
        start = comma + 1;
    }
}

void define(CLI::App& group) {
    Verb verb(group);
    const auto& rowsText = verb.option("--rows", "A,B,C", "the rows' texts, separated by commas", true);
    const auto& atText = verb.option("--at", "T,T,...", "instants in seconds from the start (0 to 3600), not decreasing", true);
    const auto& out = verb.option("-o", "DIR", "the folder for the PNG files (made when missing)", true);
    verb.run([&] {
        auto source = std::make_shared<TextRows>();
        source->rows = split(*rowsText);
        const auto times = clockInstants(*atText, "--at");
        std::error_code error;
        std::filesystem::create_directories(*out, error);
        if (!std::filesystem::is_directory(*out)) throw BadInput("-o " + shown(*out) + " is not a folder it can make");

        const ManualClockScope manual;
        auto window = std::make_shared<platform::UIWindow>(platform::CGRect{{0, 0}, {320, 44}});
        window->setBackgroundColor(platform::UIColor::whiteColor());
        window->makeKeyAndVisible();
        auto board = std::make_shared<HxRollingNoticeView>(window->bounds());
        board->register_<HxNoticeViewCell>("text");
        board->setDataSource(source);
        window->addSubview(board);
        const std::uint64_t origin = platform::Clock::uptimeNanoseconds();
        board->reloadDataAndStartRoll();
        for (std::size_t i = 0; i < times.size(); ++i) {
            platform::ManualClock::advanceTo(origin + static_cast<std::uint64_t>(times[i] * 1e9));
            platform::RunLoop::main().runUntilIdle();
            const auto png = window->renderPNG(2);
            if (!png) throw Failure("the board did not render");
            char name[32];
            std::snprintf(name, sizeof name, "%03zu.png", i);
            const std::string path = (std::filesystem::path(*out) / name).string();
            std::string why;
            if (!platform::writeFileAtomically(path, png->view(), &why)) throw Failure("cannot write " + path + ": " + why);
            std::cout << name << " t=" << times[i] << " s row " << board->currentIndex()
                      << (board->isAnimating() ? " sliding" : "") << "\n";
        }
        return 0;
    });
}

const GroupRegistration registration{{"notice", "the rolling notice board's frames at clock instants", 92, define}};

}  // namespace
}  // namespace qvtool
