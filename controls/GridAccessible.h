// What screen readers see of a grid: a table whose children are its cells, each with its row, column, text,
// focus and selection, the fixed rows and columns as their headers, and the focus cell as the table's focus
// child. The grid (controls/DataGrid.h) installs the factory when the first grid is made.
//
// Thread: user-interface thread only, as the accessibility framework calls it.
#pragma once

namespace GridAccessibility {

// Makes grids answer screen readers with their cells; once per process, any later call does nothing.
void Install();

} // namespace GridAccessibility
