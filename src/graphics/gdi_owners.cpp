#include "graphics/gdi_owners.h"

#include <atomic>

#include "graphics/gdiplus_api.h"

namespace {
std::atomic<int> runningSessions{0};
}  // namespace

GdiplusSession::GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;  // version 1, everything else off
    if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
    if (token_ != 0) ++runningSessions;
}

GdiplusSession::~GdiplusSession() {
    if (token_ == 0) return;
    --runningSessions;
    Gdiplus::GdiplusShutdown(token_);
}

bool GdiplusSession::Running() { return runningSessions.load() > 0; }
