// The program's own text logs and the file names it builds from outside texts.
// AppendUtf16LeLog runs on the thread that calls it (the file writer's, for the program's own logs);
// the rest on the user-interface thread. The files are not locked against another writer.
#pragma once

#include <string_view>

class QString;

// Appends text, as UTF-16LE without a byte-order mark, to the file at path; when onlyIfExists is set the
// file must exist already (creating it is what switches such a log on). A file left with an odd number of
// bytes by an earlier failed write is first cut back to whole characters, and a write that does not go
// through whole is undone, so no later character is shifted by a byte. False when nothing was appended.
bool AppendUtf16LeLog(const QString& path, std::u16string_view text, bool onlyIfExists);
// The same append queued on the file writer (app/FileWriter.h), behind the writes queued before it; returns
// at once.
void QueueUtf16LeLogAppend(const QString& path, std::u16string text, bool onlyIfExists);
// Queues the making of an empty log file (with its folder) when there is none, which switches the log on;
// an existing file keeps its lines.
void QueueLogFileCreation(const QString& path);

// Whether a contest number may be part of a file name: no folder separator ('/' or '\'), no
// "..", no control character; so a name built from it stays in the folder it is meant for.
bool IsSafeFileNamePart(std::string_view text);
