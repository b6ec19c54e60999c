// The nation table: Cfg/nation.csv under the program folder, one nation per line, four comma-separated fields
// (code, a second text, the nation's name, the flag picture under Img/Flag/). The file is UTF-8, with or
// without a byte-order mark, with CRLF or LF line endings. Row i of the file is row i of MatchData::aNation,
// so players refer to a nation by its line number; row 0 stands for no nation.
//
// Thread: user-interface thread (writes the record).
#pragma once

struct MatchData;

// Stores the program folder in szAppDirA, then reads the file into aNation and nNationCount: at most
// kNationRows lines (the rest are ignored and logged), missing fields empty, text after a fourth comma
// ignored, each field cut to 259 characters; table rows after the last line read are cleared.
// Returns false, leaving the table and the count untouched, when the file cannot be opened.
bool LoadNationTable(MatchData& md);
