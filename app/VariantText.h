// Display text of a database cell, as the result lists and the result sheet show it.
#pragma once

#include "app/DbVariant.h"

#include <string>

// Null "", integers in full ("%d"), reals as "%g" or, when that would round the value, the shortest text
// that reads back as the same value (so sign, digits and scale are kept), text as it is, yes/no "TRUE" or
// "FALSE", date and time "%d-%02d-%02d/%02d:%02d:%02d". Independent of the process locale.
// Thread: any.
std::u16string VariantToString(const DbVariant& value);
