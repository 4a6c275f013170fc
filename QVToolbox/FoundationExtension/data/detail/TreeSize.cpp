#include <QVToolbox/FoundationExtension/data/detail/TreeSize.h>

#include <fts.h>
#include <sys/stat.h>

#include <memory>

namespace QVToolbox::detail {

std::uint64_t sizeOfFilesBelow(const std::string& folder) {
    std::string root = folder;
    char* paths[] = {root.data(), nullptr};
    // FTS_PHYSICAL: links are reported as links; FTS_COMFOLLOW: the root itself may be a link
    // to the folder asked about; FTS_NOCHDIR: the process's working folder is left alone.
    const auto closer = [](FTS* f) { fts_close(f); };
    std::unique_ptr<FTS, decltype(closer)> tree(fts_open(paths, FTS_PHYSICAL | FTS_COMFOLLOW | FTS_NOCHDIR, nullptr), closer);
    if (!tree) return 0;
    std::uint64_t total = 0;
    while (FTSENT* entry = fts_read(tree.get())) {
        switch (entry->fts_info) {
            case FTS_F:
            case FTS_SL:
            case FTS_SLNONE:
            case FTS_DEFAULT:
                if (entry->fts_statp && entry->fts_statp->st_size > 0) {
                    total += static_cast<std::uint64_t>(entry->fts_statp->st_size);
                }
                break;
            default: break;  // folders, unreadable folders, errors
        }
    }
    return total;
}

}  // namespace QVToolbox::detail
