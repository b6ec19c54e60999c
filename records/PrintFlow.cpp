#include "records/PrintFlow.h"

#include "app/MatchData.h"
#include "platform/DebugOutput.h"
#include "records/PageModel.h"
#include "records/PrintSheet.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

PreviewRunner g_previewRunner;

// The main window closes without asking only while this lives.
class CloseWithoutAsking {
public:
    CloseWithoutAsking() { Set(1); }
    ~CloseWithoutAsking() { Set(0); }
    CloseWithoutAsking(const CloseWithoutAsking&) = delete;
    CloseWithoutAsking& operator=(const CloseWithoutAsking&) = delete;

private:
    static void Set(int value) {
        if (g_pMatchData)
            g_pMatchData->bCloseNoAsk = value;
    }
};

// The sheet is laid out for portrait paper with small margins, whatever the printer was set to.
void PreparePrinter(QPrinter& printer) {
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(0.2, 0.2, 0.2, 0.2), QPageLayout::Inch);
    // Without a printer on this machine the sheet still goes to a PDF file.
    if (printer.outputFormat() == QPrinter::NativeFormat && QPrinterInfo::availablePrinters().isEmpty())
        printer.setOutputFormat(QPrinter::PdfFormat);
}

} // namespace

PreviewRunner SetPreviewRunner(PreviewRunner runner) {
    PreviewRunner previous = std::move(g_previewRunner);
    g_previewRunner = std::move(runner);
    return previous;
}

int PrintResultSheet(QPrinter& printer) {
    PreparePrinter(printer);
    const QRect area = printer.pageLayout().paintRectPixels(printer.resolution());
    const int dpi = printer.resolution();
    const int roundSeconds = g_pMatchData ? g_pMatchData->nMatchTime : 0;
    const ResultSheetJob job = SharedResultSheetJob(static_cast<double>(area.height()) / dpi, roundSeconds);
    QPainter painter;
    if (!painter.begin(&printer)) {
        DebugPrintf("result sheet: the printer cannot be painted on; nothing printed");
        return 0;
    }
    for (int p = 1; p <= job.pages.count(); ++p) {
        if (p > 1 && !printer.newPage())
            return p - 1;
        CPage page(painter, QRect(QPoint(0, 0), area.size()), dpi, dpi);
        PrintMatchResultPage(page, p, job);
    }
    painter.end();
    return job.pages.count();
}

void ShowResultPreview(QWidget* parent) {
    const CloseWithoutAsking guard;
    QPrinter printer(QPrinter::HighResolution);
    PreparePrinter(printer);
    QPrintPreviewDialog preview(&printer, parent);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [](QPrinter* target) { PrintResultSheet(*target); });
    if (g_previewRunner)
        g_previewRunner(preview);
    else
        preview.exec();
}

void PrintResultDirect(QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    PreparePrinter(printer);
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    PrintResultSheet(printer);
}
