#pragma once
// Resource numbers shared by the resource scripts and the code.

// The test program carries the README, to check what it tells the user.
#define IDR_TEST_README 3001
