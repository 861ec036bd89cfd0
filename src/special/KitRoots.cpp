#include "special/KitRoots.h"

#include "util/FileSystem.h"

namespace tamsel {

namespace fs = std::filesystem;

namespace {

constexpr int kMostLinks = 40;

fs::path Resolve(const fs::path& path, int links) {
    std::error_code error;
    const fs::path resolved = fs::weakly_canonical(fs::absolute(path, error), error);
    if (error || links > kMostLinks) {
        return {};
    }
    // weakly_canonical leaves in place a link whose target does not exist yet: follow it too.
    fs::path walked;
    for (auto part = resolved.begin(); part != resolved.end(); ++part) {
        walked /= *part;
        if (!fs::is_symlink(fs::symlink_status(walked, error))) {
            continue;
        }
        fs::path next = walked.parent_path() / fs::read_symlink(walked, error);
        for (auto rest = std::next(part); rest != resolved.end(); ++rest) {
            next /= *rest;
        }
        return error ? fs::path() : Resolve(next, links + 1);
    }
    return resolved;
}

bool IsBelow(const fs::path& path, const fs::path& folder) {
    const fs::path relative = path.lexically_relative(folder);
    return !relative.empty() && *relative.begin() != "." && *relative.begin() != "..";
}

}  // namespace

fs::path ResolvedPath(const std::string& path) {
    return path.empty() ? fs::path() : Resolve(path, 0);
}

KitRoots::KitRoots(const std::vector<std::string>& roots, const std::vector<std::string>& ownFiles,
                   const std::string& programFolder)
    : programFolder_(programFolder.empty() ? fs::path() : ResolvedPath(programFolder)) {
    for (const auto& root : roots) {
        // A root that is the whole file system would confine nothing.
        const fs::path resolved = ResolvedPath(root);
        if (!resolved.empty() && resolved != resolved.root_path()) {
            roots_.push_back(resolved);
        }
    }
    for (const auto& file : ownFiles) {
        ownFiles_.push_back(ResolvedPath(file));
    }
}

std::string KitRoots::Refusal(const std::string& path) const {
    const fs::path resolved = ResolvedPath(path);
    if (resolved.empty()) {
        return "the path cannot be resolved";
    }
    if (IsGuardedPath(resolved.string())) {
        return "inside a protected system folder";
    }
    for (const auto& own : ownFiles_) {
        if (resolved == own) {
            return "one of the updater's own files";
        }
    }
    // Whatever lies directly beside the program is the updater's (a library placed there would be
    // loaded by it); the folders below are kit content when the kit is the program's folder.
    if (!programFolder_.empty() &&
        (resolved == programFolder_ || resolved.parent_path() == programFolder_)) {
        return "in the updater's own folder";
    }
    for (const auto& root : roots_) {
        if (IsBelow(resolved, root)) {
            return {};
        }
    }
    return "outside the kit's folders";
}

}  // namespace tamsel
