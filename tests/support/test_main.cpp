// Test entry point: unbuffered output (Wine's console otherwise holds it back)
// and no modal error boxes, so a failing test never blocks the run.
//
// Tests whose name contains "RealPointer" drive the real X pointer, where an
// event can still be lost on a busy machine. The suite runs as two ctest
// entries so that only those may be run a second time:
//   --real-pointer=skip   every selected test but those
//   --real-pointer=only   only those
// Either combines with the usual --gtest_filter / GTEST_FILTER selection.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "app/board_listener.h"
#include "graphics/gdi_owners.h"

namespace {

constexpr std::string_view kRealPointerMark = "RealPointer";

// Glob match with '*' and '?', as the test filter uses them.
bool Glob(std::string_view pattern, std::string_view name) {
    std::size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

bool AnyGlob(std::string_view patterns, std::string_view name) {
    while (!patterns.empty()) {
        const std::size_t colon = patterns.find(':');
        if (Glob(patterns.substr(0, colon), name)) return true;
        if (colon == std::string_view::npos) break;
        patterns.remove_prefix(colon + 1);
    }
    return false;
}

// The filter's rule: "positive[-negative]", each a ':'-separated list.
bool Selected(std::string_view filter, std::string_view name) {
    const std::size_t dash = filter.find('-');
    std::string_view positive = filter.substr(0, dash);
    if (positive.empty()) positive = "*";
    if (!AnyGlob(positive, name)) return false;
    return dash == std::string_view::npos || !AnyGlob(filter.substr(dash + 1), name);
}

// Narrows the test filter to the tests of one side of the real-pointer split.
void ApplyRealPointerSplit(bool only) {
    const std::string filter = GTEST_FLAG_GET(filter);
    std::string chosen;
    const testing::UnitTest& all = *testing::UnitTest::GetInstance();
    for (int s = 0; s < all.total_test_suite_count(); ++s) {
        const testing::TestSuite& suite = *all.GetTestSuite(s);
        for (int t = 0; t < suite.total_test_count(); ++t) {
            const std::string name =
                std::string(suite.name()) + "." + suite.GetTestInfo(t)->name();
            const bool pointer = name.find(kRealPointerMark) != std::string::npos;
            if (pointer != only || !Selected(filter, name)) continue;
            if (!chosen.empty()) chosen += ':';
            chosen += name;
        }
    }
    // Nothing chosen: a filter that no test name matches.
    GTEST_FLAG_SET(filter, chosen.empty() ? std::string("-*") : chosen);
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::setvbuf(stderr, nullptr, _IONBF, 0);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--real-pointer=only") == 0) ApplyRealPointerSplit(true);
        if (std::strcmp(argv[i], "--real-pointer=skip") == 0) ApplyRealPointerSplit(false);
    }
    // GDI+ runs for the whole test run, as it does for the program's.
    GdiplusSession gdiplus;
    // As the program does at start-up: the board's announcements reach the
    // toolbox and the palette.
    InstallProgramBoardEvents();
    return RUN_ALL_TESTS();
}
