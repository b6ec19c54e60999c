// Quoting of values that go between single quotes in an SQL statement.
#pragma once

#include <string>
#include <string_view>

// Doubles every single quote, so "O'Neil" becomes "O''Neil": the value can neither end its literal early
// nor carry a statement of its own. The result is meant to be placed between '...'.
std::string SqlQuote(std::string_view value);
std::u16string SqlQuote(std::u16string_view value);
