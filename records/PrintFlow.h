// Printing the result sheet: pages counted for the paper in use, portrait forced, each page drawn on a
// fresh page model; the print preview of the result sheet dialog and the direct print with its dialog.
// User-interface thread only.
#pragma once

#include <functional>

class QPrinter;
class QPrintPreviewDialog;
class QWidget;

// Prints the sheet of the shared match row and event rows on printer in portrait. Returns the pages drawn;
// 0 when the printer cannot be painted on (nothing printed).
int PrintResultSheet(QPrinter& printer);

// The print preview of the sheet, a modeless window of the main window that parent's dialogs stand over (so
// the dialogs may close while it stays). While a preview is open the main window closes without its
// question; that ends with the preview however it ends.
void ShowResultPreview(QWidget* parent);
// The print dialog, then the sheet on the printer chosen; nothing when the dialog is cancelled.
void PrintResultDirect(QWidget* parent);

// Called with a new preview instead of showing it (tests); null shows it. A runner that throws leaves no
// preview. Returns the previous runner.
using PreviewRunner = std::function<void(QPrintPreviewDialog&)>;
PreviewRunner SetPreviewRunner(PreviewRunner runner);
