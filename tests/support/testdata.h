// Locating test inputs and outputs: data we did not write (../shared/testdata, which may be
// absent in a lone clone) and the build tree, where tests leave artifacts such as screenshots.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace wl::test {

// Path of a file under ../shared/testdata, or nothing when that folder is absent.
std::optional<std::string> SharedTestData(const std::string& relative);

// A folder for artifacts inside the build tree (created on demand).
std::string ArtifactDir();

// Whole file as bytes; throws std::runtime_error when it cannot be read.
std::string ReadFileBytes(const std::string& path);

} // namespace wl::test

// Skips the current test with a clear message when ../shared/testdata is missing.
#define WL_SHARED_OR_SKIP(var, relative)                                                          \
    auto var##_opt = ::wl::test::SharedTestData(relative);                                        \
    if (!var##_opt) GTEST_SKIP() << "../shared/testdata is absent; skipping " << (relative);     \
    const std::string var = *var##_opt
