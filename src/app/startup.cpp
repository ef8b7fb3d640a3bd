#include "app/startup.h"

#include "app/globals.h"
#include "app/hotkey.h"
#include "app/raw_window.h"
#include "app/settings.h"
#include "app/toolbox.h"
#include "board/palette_picture.h"

void ReadScreenSize() {
    ScreenSize.cx = GetSystemMetrics(SM_CXSCREEN);
    ScreenSize.cy = GetSystemMetrics(SM_CYSCREEN);
    BoardSize = ScreenSize;
}

void BuildEyedropperSpectrum() {
    PalettePicture = BuildPalettePicture(BoardCanvas);
    BoardCanvas.Clear();
    BoardCanvas.Resize(BoardSize.cx, BoardSize.cy);
}

void SetUnsavedSettings() {
    Settings.cornerRadiusMax = 500;
    Settings.polygonVertices = 6;
    Settings.starVertices = 5;
}

void FillMenuItemList() {
    MenuItemList.captions.clear();
    MenuItemList.ids.clear();
    AddMenuItem("画笔(&P)", 101);
    AddMenuItem("箭头(&J)", 102);
    AddMenuItem("直线(&L)", 103);
    AddMenuItem("线段(&M)", 104);
    AddMenuItem("-", 0);
    AddMenuItem("矩形(&R)", 105);
    AddMenuItem("圆角矩形(&Y)", 106);
    AddMenuItem("椭圆(&E)", 107);
    AddMenuItem("正圆(&C)", 108);
    AddMenuItem("饼(&D)", 109);
    AddMenuItem("多边形(&N)", 110);
    AddMenuItem("星形(&V)", 111);
    AddMenuItem("-", 0);
    AddMenuItem("三点画圆弧(&A)", 112);
    AddMenuItem("半径画圆弧(&S)", 113);
    AddMenuItem("贝塞尔(&B)", 114);
    AddMenuItem("曲线(&Q)", 115);
    AddMenuItem("连续圆弧(&H)", 116);
    AddMenuItem("-", 0);
    AddMenuItem("文字(&T)", 117);
    AddMenuItem("-", 0);
    AddMenuItem("吸管(&I)", 118);
    AddMenuItem("填充(&F)", 119);
    AddMenuItem("橡皮擦(&X)", 120);
    AddMenuItem("清除(Esc)", 121);
    AddMenuItem("-", 0);
    AddMenuItem("保存到文件", 122);
    AddMenuItem("复制到剪贴板", 123);
    AddMenuItem("-", 0);
    AddMenuItem("关闭画板(F9)", 124);
    AddMenuItem("结束程序", 125);
}

int StartRoutine() {
    // Windows made with "Esc closes" get the Esc handler for WM_KEYUP.
    SetEscCloseRoutine(&EscKeyHandler);
    ReadScreenSize();
    BuildEyedropperSpectrum();
    BackCanvas.Create(BoardSize.cx, BoardSize.cy, 0xFFFFFF);
    LoadSettings();
    SetUnsavedSettings();
    FillMenuItemList();
    ToolboxLoaded = LoadToolbox();
    return 0;
}

int RunMessageLoop() {
    MSG msg{};
    BOOL got = 0;
    while ((got = GetMessageA(&msg, nullptr, 0, 0)) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return got == 0 ? static_cast<int>(msg.wParam) : 1;
}
