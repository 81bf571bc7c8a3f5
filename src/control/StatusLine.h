// The key handler's status line: red, at the bottom left, written after
// every key over the picture with a transparent background.
#pragma once

// Writes the status line. In the outside view a Moon standing in its way
// splits it: the words before the Moon's disc stay where they are, the rest
// follows after the disc, so that the Moon stays whole and every word
// readable. While a help screen stands the line is written whole.
void WriteStatusLine();

// Takes the status line written last off the outside view's picture (its
// letters in black), before drawing moves the Moon: the outside picture is
// never cleared, and a line split at another place would otherwise leave
// letters behind. Whatever else the black letters hit, the drawing that
// follows paints again. Does nothing in the inside view, whose step puts
// its picture back.
void EraseStatusLine();

// For a step of the running outside view without a key: the status line is
// taken off only when the step, knowing where the Moon goes, finds that the
// line will be split otherwise; written at the same place again, its
// letters would only cover themselves. When the step drew nothing on it,
// WriteStatusLine then leaves it standing as well.
void EraseStatusLineWhenItMoves();
