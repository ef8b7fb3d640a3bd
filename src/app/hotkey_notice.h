#pragma once
// The word to the user when F9 cannot be had: another program registered it
// first. Said once per run, in a window of its own, and never waited for, so
// the toolbox (and its capture cell) keeps working while the words are shown.

// Shows the words somewhere the user sees them. Must return without waiting
// for the user.
using NoticeRoutine = void (*)(const char* caption, const char* text);

// The caption and the text of the notice (GBK).
const char* F9TakenCaption();
const char* F9TakenText();

// Tells the user that F9 is taken, the first time it is called in this run;
// later calls do nothing. True when the notice was given by this call.
bool NotifyF9Taken();

// ---- seams for tests ----

// Replaces how the notice is shown (null: the platform's message box on a
// thread of its own). Returns the previous routine.
NoticeRoutine SetNoticeRoutine(NoticeRoutine routine);
// Forgets that the notice was given, so the next NotifyF9Taken gives it again.
void ResetF9TakenNotice();
