// The templates of the match-log workbook ("Log file.xls" and "Log file_Team.xls" in the program folder's
// Log/): three sheets (match header, round scores, event lines) with the titles, labels, column widths and
// styles that the match log's cells expect.
#pragma once

#include <memory>
#include <string>

class ExcelBook;

namespace LogTemplates {

std::unique_ptr<ExcelBook> Build(bool team);
// Writes the template to the absolute path; false when the file cannot be written.
bool Write(bool team, const std::string& path);

} // namespace LogTemplates
