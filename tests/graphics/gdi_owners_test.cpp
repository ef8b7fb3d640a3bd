// The scoped owners: each lets go of exactly what it holds, and an object
// selected into a DC is deselected before it is deleted.
#include <gtest/gtest.h>

#include "graphics/gdi_owners.h"

namespace {

bool IsLiveGdiObject(HGDIOBJ object) { return GetObjectType(object) != 0; }

TEST(GdiOwners, SelectedOwnedPutsTheOldPenBackThenDeletesItsOwn) {
    MemoryDc dc = MemoryDc::Compatible();
    ASSERT_TRUE(dc);
    const HGDIOBJ original = GetCurrentObject(dc.Get(), OBJ_PEN);
    HPEN pen = nullptr;
    {
        SelectedOwned<HPEN> selected(dc.Get(), CreatePen(PS_SOLID, 3, RGB(255, 0, 0)));
        ASSERT_TRUE(selected.Ok());
        pen = selected.Get();
        EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_PEN), pen);
    }
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_PEN), original);
    EXPECT_FALSE(IsLiveGdiObject(pen));  // deleted, which a selected pen could not be
}

TEST(GdiOwners, MovingAnOwnerHandsOverWithoutDeleting) {
    OwnedBrush first(CreateSolidBrush(RGB(1, 2, 3)));
    const HBRUSH brush = first.Get();
    OwnedBrush second = std::move(first);
    EXPECT_FALSE(first);
    EXPECT_TRUE(IsLiveGdiObject(brush));
    second.Reset();
    EXPECT_FALSE(IsLiveGdiObject(brush));
}

TEST(GdiOwners, ReleasedObjectOutlivesItsOwner) {
    HBITMAP kept = nullptr;
    {
        OwnedBitmap bitmap(CreateBitmap(4, 4, 1, 32, nullptr));
        kept = bitmap.Release();
    }
    EXPECT_TRUE(IsLiveGdiObject(kept));
    DeleteObject(kept);
}

TEST(GdiOwners, BitmapDeselectedForReadingStaysOwned) {
    MemoryDc dc = MemoryDc::Compatible();
    OwnedBitmap bitmap(CreateBitmap(2, 2, 1, 32, nullptr));
    SelectedObject selection(dc.Get(), bitmap.Get());
    ASSERT_TRUE(selection.Ok());
    selection.Restore();
    EXPECT_NE(GetCurrentObject(dc.Get(), OBJ_BITMAP), bitmap.Get());
    EXPECT_TRUE(IsLiveGdiObject(bitmap.Get()));
}

TEST(GdiOwners, KernelHandleClosesAndTreatsAFailedOpenAsEmpty) {
    HANDLE raw = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(raw, nullptr);
    {
        KernelHandle event(raw);
        EXPECT_TRUE(event.Valid());
    }
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(raw, &flags));

    KernelHandle missing(CreateFileA("Z:\\no\\such\\folder\\file.bin", GENERIC_READ, 0, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(missing.Valid());  // INVALID_HANDLE_VALUE is not closed
}

TEST(GdiOwners, ScreenDcAnswersTheScreenDepth) {
    ScreenDc screen;
    ASSERT_TRUE(screen);
    EXPECT_GT(GetDeviceCaps(screen.Get(), BITSPIXEL), 0);
}

TEST(GdiOwners, TheTestRunHoldsAGdiplusSession) { EXPECT_TRUE(GdiplusSession::Running()); }

}  // namespace
