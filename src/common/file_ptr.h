#pragma once

#include <cstdio>
#include <memory>

namespace merlop {

// A C stream closed when it goes out of scope. Release it to fclose by hand where a failed
// close has to be noticed.
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace merlop
