#pragma once
// The entries of the dialogs' drive lists. A root travels as the entry's item
// data; the text is for the eye, and is parsed back only by callers that hold
// nothing else.

#include "platform/Drives.h"

#include <QString>
#include <vector>

struct DriveListEntry {
    QString text;     // label + "(" + root + ")"
    DriveInfo drive;
};

std::vector<DriveListEntry> DriveListEntries(const Drives& drives);

// The root inside an entry text: after the "(" of its first "(/" up to the
// final ")". A text that starts with "/" is a root itself; anything else
// gives "". Labels cannot hold "/", so "CAR(1)(/media/u/CAR(1)/)" parses.
QString DriveRootFromEntryText(const QString& text);
