// Linear gradients in their eight directions and the radial gradient.

#include <windows.h>

#include <array>
#include <cmath>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "graphics/canvas.h"
#include "graphics/canvas_draw_test_support.h"

using namespace canvas_test;

namespace {

constexpr int kW = 90;
constexpr int kH = 60;

// The colour a two-colour gradient has at position t in [0, 1].
COLORREF Mix(COLORREF a, COLORREF b, double t) {
    auto ch = [t](int x, int y) { return static_cast<int>(x + (y - x) * t); };
    return RGB(ch(GetRValue(a), GetRValue(b)), ch(GetGValue(a), GetGValue(b)),
               ch(GetBValue(a), GetBValue(b)));
}

// A fresh white canvas with one gradient drawn at (10, 10), kW x kH.
std::vector<COLORREF> Gradient(std::optional<int> direction, std::vector<COLORREF> colours,
                               Canvas* keep = nullptr) {
    Canvas local;
    Canvas& c = keep ? *keep : local;
    EXPECT_TRUE(c.Create(kW + 20, kH + 20, kWhite));
    c.GradientFill(10, 10, kW, kH, direction, colours);
    return Pixels(c);
}

// Every pixel of the gradient area follows `position` (0 at the first
// colour, 1 at the last) within a small rounding tolerance; the area's
// surroundings stay white.
template <typename Position>
void ExpectTwoColourGradient(const Canvas& c, COLORREF first, COLORREF last, Position position) {
    int wrong = 0;
    for (int v = 0; v < kH; ++v) {
        for (int u = 0; u < kW; ++u) {
            const COLORREF expected = Mix(first, last, position(u, v));
            if (!Near(c.GetPixel(10 + u, 10 + v), expected, 3)) {
                if (++wrong < 5) {
                    ADD_FAILURE() << "pixel " << u << "," << v << " is " << std::hex
                                  << c.GetPixel(10 + u, 10 + v) << " expected " << expected;
                }
            }
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(CountInk(c, RECT{0, 0, kW + 20, 10}), 0);
    EXPECT_EQ(CountInk(c, RECT{0, 10 + kH, kW + 20, kH + 20}), 0);
    EXPECT_EQ(CountInk(c, RECT{0, 0, 10, kH + 20}), 0);
    EXPECT_EQ(CountInk(c, RECT{10 + kW, 0, kW + 20, kH + 20}), 0);
}

}  // namespace

// ------------------------------------------------------------ GradientFill --

TEST(GradientFill, OneColourFillsASolidRectangle) {
    Canvas c;
    ASSERT_TRUE(c.Create(40, 40, kWhite));
    const std::array<COLORREF, 1> one = {kGreen};
    c.GradientFill(5, 6, 20, 10, 3, one);
    EXPECT_EQ(CountColor(c, RECT{5, 6, 25, 16}, kGreen), 200);
    EXPECT_EQ(CountColor(c, RECT{0, 0, 40, 40}, kGreen), 200);
}

TEST(GradientFill, NoColoursOrNoAreaDrawNothing) {
    Canvas c;
    ASSERT_TRUE(c.Create(40, 40, kWhite));
    c.GradientFill(5, 5, 20, 20, 2, std::span<const COLORREF>{});
    const std::array<COLORREF, 2> two = {kRed, kBlue};
    for (int dir = 1; dir <= 8; ++dir) {
        c.GradientFill(5, 5, 0, 20, dir, two);
        c.GradientFill(5, 5, 20, 0, dir, two);
        c.GradientFill(5, 5, -4, 20, dir, two);
    }
    EXPECT_EQ(CountInk(c, RECT{0, 0, 40, 40}), 0);
}

TEST(GradientFill, LeftToRightRunsFromTheFirstToTheLastColour) {
    Canvas c;
    Gradient(2, {kRed, kBlue}, &c);
    EXPECT_EQ(c.GetPixel(10, 10), kRed);
    ExpectTwoColourGradient(c, kRed, kBlue, [](int u, int) { return u / double(kW); });
}

TEST(GradientFill, TopToBottomRunsFromTheFirstToTheLastColour) {
    Canvas c;
    Gradient(1, {kRed, kBlue}, &c);
    EXPECT_EQ(c.GetPixel(50, 10), kRed);
    ExpectTwoColourGradient(c, kRed, kBlue, [](int, int v) { return v / double(kH); });
}

TEST(GradientFill, SeveralColoursShareTheLengthEvenly) {
    Canvas c;
    ASSERT_TRUE(c.Create(100, 10, kWhite));
    const std::array<COLORREF, 3> three = {kRed, kGreen, kBlue};
    c.GradientFill(0, 0, 100, 10, 2, three);
    EXPECT_EQ(c.GetPixel(0, 5), kRed);
    EXPECT_EQ(c.GetPixel(50, 5), kGreen);  // the second segment starts half way
    EXPECT_TRUE(Near(c.GetPixel(99, 5), kBlue, 8));
    EXPECT_TRUE(Near(c.GetPixel(25, 5), Mix(kRed, kGreen, 0.5), 4));
    EXPECT_TRUE(Near(c.GetPixel(75, 5), Mix(kGreen, kBlue, 0.5), 4));
}

TEST(GradientFill, DirectionsFiveToEightAreOneToFourReversed) {
    const std::vector<COLORREF> colours = {kRed, kGreen, 0x808080, kBlue};
    const std::vector<COLORREF> reversed(colours.rbegin(), colours.rend());
    EXPECT_EQ(Gradient(6, colours), Gradient(2, reversed));
    EXPECT_EQ(Gradient(5, colours), Gradient(1, reversed));
    EXPECT_EQ(Gradient(7, colours), Gradient(3, reversed));
    EXPECT_EQ(Gradient(8, colours), Gradient(4, reversed));
    EXPECT_NE(Gradient(6, colours), Gradient(2, colours));
}

TEST(GradientFill, DirectionsOutsideOneToEightActAsLeftToRight) {
    const std::vector<COLORREF> colours = {kRed, kBlue, kGreen};
    const auto leftToRight = Gradient(2, colours);
    EXPECT_EQ(Gradient(0, colours), leftToRight);
    EXPECT_EQ(Gradient(9, colours), leftToRight);
    EXPECT_EQ(Gradient(-1, colours), leftToRight);
    EXPECT_EQ(Gradient(std::nullopt, colours), leftToRight);
}

TEST(GradientFill, DiagonalThreeRunsFromTopLeftToBottomRight) {
    Canvas c;
    Gradient(3, {kRed, kBlue}, &c);
    // Every pixel shows the strip of length w + h at position u + v.
    EXPECT_EQ(c.GetPixel(10, 10), kRed);
    EXPECT_TRUE(Near(c.GetPixel(10 + kW - 1, 10 + kH - 1), kBlue, 4));
    ExpectTwoColourGradient(c, kRed, kBlue,
                            [](int u, int v) { return (u + v) / double(kW + kH - 1); });
}

TEST(GradientFill, DiagonalFourRunsFromTopRightToBottomLeft) {
    Canvas c;
    Gradient(4, {kRed, kBlue}, &c);
    // Every pixel shows the strip of length w + h at position v + w - u.
    EXPECT_TRUE(Near(c.GetPixel(10 + kW - 1, 10), kRed, 4));
    EXPECT_EQ(c.GetPixel(10, 10 + kH - 1), kBlue);
    ExpectTwoColourGradient(c, kRed, kBlue,
                            [](int u, int v) { return (v + kW - u) / double(kW + kH - 1); });
}

TEST(GradientFill, DiagonalsOfOnePixelThicknessStillFill) {
    const std::array<COLORREF, 2> two = {kRed, kBlue};
    for (int dir : {3, 4}) {
        Canvas row, column;
        ASSERT_TRUE(row.Create(50, 50, kWhite));
        ASSERT_TRUE(column.Create(50, 50, kWhite));
        row.GradientFill(5, 5, 40, 1, dir, two);
        column.GradientFill(5, 5, 1, 40, dir, two);
        EXPECT_EQ(CountInk(row, RECT{0, 0, 50, 50}), 40) << dir;
        EXPECT_EQ(CountInk(row, RECT{5, 5, 45, 6}), 40) << dir;
        EXPECT_EQ(CountInk(column, RECT{0, 0, 50, 50}), 40) << dir;
        EXPECT_EQ(CountInk(column, RECT{5, 5, 6, 45}), 40) << dir;
    }
    // Direction 3 of a single row is the plain left-to-right strip.
    Canvas row;
    ASSERT_TRUE(row.Create(50, 50, kWhite));
    row.GradientFill(5, 5, 40, 1, 3, two);
    EXPECT_EQ(row.GetPixel(5, 5), kRed);
    EXPECT_TRUE(Near(row.GetPixel(44, 5), kBlue, 8));
}

TEST(GradientFill, FullScreenDiagonalsReachTheirFarCorners) {
    Canvas c;
    ASSERT_TRUE(c.Create(1920, 1080, kWhite));
    const std::array<COLORREF, 3> three = {kRed, kGreen, kBlue};
    c.GradientFill(0, 0, 1920, 1080, 3, three);
    EXPECT_EQ(c.GetPixel(0, 0), kRed);
    EXPECT_TRUE(Near(c.GetPixel(1919, 1079), kBlue, 4));
    // Half way along the diagonal (u + v = 1499 of 0..2999) is the middle colour.
    EXPECT_TRUE(Near(c.GetPixel(1000, 499), kGreen, 4));
    EXPECT_EQ(c.GetPixel(1000, 499), c.GetPixel(420, 1079));

    c.GradientFill(0, 0, 1920, 1080, 4, three);
    EXPECT_TRUE(Near(c.GetPixel(1919, 0), kRed, 2));  // starts at the top-right
    EXPECT_EQ(c.GetPixel(0, 1079), kBlue);
    EXPECT_EQ(c.GetPixel(1000, 300), c.GetPixel(1500, 800));
}

// ---------------------------------------------------------- RadialGradient --

TEST(GradientRadial, EqualColoursDrawASingleEllipse) {
    Canvas a, b;
    ASSERT_TRUE(a.Create(100, 60, kWhite));
    ASSERT_TRUE(b.Create(100, 60, kWhite));
    a.RadialGradient(10, 5, 80, 40, std::nullopt, kRed, kRed);
    b.PenColor(kRed);
    b.BrushColor(kRed);
    b.Ellipse(10, 5, 90, 45);
    EXPECT_EQ(Pixels(a), Pixels(b));
    EXPECT_GT(CountColor(a, RECT{0, 0, 100, 60}, kRed), 2000);
}

TEST(GradientRadial, TheFirstColourIsInTheMiddleUnlessTheOrderIsTwo) {
    for (std::optional<int> order : {std::optional<int>{}, std::optional<int>{1},
                                     std::optional<int>{3}, std::optional<int>{0}}) {
        Canvas c;
        ASSERT_TRUE(c.Create(100, 60, kWhite));
        c.RadialGradient(0, 0, 100, 60, order, kRed, kBlue);
        // The innermost ellipses are a pixel or two: the middle is within a
        // step or two of the inner colour.
        EXPECT_TRUE(Near(c.GetPixel(50, 30), kRed, 16));
        EXPECT_TRUE(Near(c.GetPixel(1, 30), kBlue, 16));
        EXPECT_EQ(c.GetPixel(0, 0), kWhite);  // outside the outer ellipse
    }
    Canvas c;
    ASSERT_TRUE(c.Create(100, 60, kWhite));
    c.RadialGradient(0, 0, 100, 60, 2, kRed, kBlue);
    EXPECT_TRUE(Near(c.GetPixel(50, 30), kBlue, 16));
    EXPECT_TRUE(Near(c.GetPixel(1, 30), kRed, 16));
}

TEST(GradientRadial, ShadesSteadilyFromTheEdgeInwards) {
    Canvas c;
    ASSERT_TRUE(c.Create(60, 120, kWhite));  // taller than wide
    c.RadialGradient(0, 0, 60, 120, 2, kBlack, kWhite);
    EXPECT_TRUE(Near(c.GetPixel(30, 60), kWhite, 16));
    int previous = -1;
    for (int y = 2; y <= 60; y += 4) {  // walk down the long axis towards the centre
        const int level = GetRValue(c.GetPixel(30, y));
        EXPECT_GE(level, previous) << y;
        previous = level;
    }
    EXPECT_LT(GetRValue(c.GetPixel(30, 2)), 20);
}

TEST(GradientRadial, TheCanvasKeepsItsOwnPenAndBrush) {
    Canvas c;
    ASSERT_TRUE(c.Create(100, 100, kWhite));
    c.PenColor(kBlack);
    c.BrushColor(kGreen);
    c.RadialGradient(0, 0, 50, 50, 1, kRed, kBlue);
    c.Rectangle(60, 60, 90, 90);
    EXPECT_EQ(c.GetPixel(60, 60), kBlack);
    EXPECT_EQ(c.GetPixel(75, 75), kGreen);
}

TEST(GradientRadial, AnEmptyAreaDrawsNothing) {
    Canvas c;
    ASSERT_TRUE(c.Create(40, 40, kWhite));
    c.RadialGradient(5, 5, 0, 20, 1, kRed, kBlue);
    c.RadialGradient(5, 5, 20, 0, 1, kRed, kBlue);
    c.RadialGradient(5, 5, -20, 20, 1, kRed, kBlue);
    EXPECT_EQ(CountInk(c, RECT{0, 0, 40, 40}), 0);
}
