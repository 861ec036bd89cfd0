#pragma once

#include <cstdio>
#include <memory>

namespace tamsel {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
// An open C stream, closed when it goes.
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace tamsel
