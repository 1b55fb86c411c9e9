#pragma once
// The show's journal: the few lines on standard error that whoever looks after an unattended
// show reads, under the user unit in the system journal. One line per sync job and one per
// event of the show's life; everything else stays in the trace. Each line is
// "zelvora: EVENT FIELDS", the fields as name=value without spaces, so that grep and awk take
// them apart. Written straight to standard error, not through Qt's message handler, so that
// QT_MESSAGE_PATTERN does not change them, and in one write, so that the lines of two threads
// never mix.

#include <QString>

// line: the event and its fields, without the prefix and the line feed.
void Journal(const QString& line);
