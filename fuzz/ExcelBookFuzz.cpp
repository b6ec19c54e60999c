// A workbook stream as a template file gives it: read whole, and written back when it loads.
#include "records/ExcelBook.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ExcelBook book;
    if (book.Read(std::span<const std::uint8_t>(data, size)))
        book.Write();
    return 0;
}
