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

#include <memory>

namespace {

PreviewRunner g_previewRunner;
int g_openPreviews = 0; // the main window closes without asking while one is open

void SetCloseNoAsk() {
    if (g_pMatchData)
        g_pMatchData->bCloseNoAsk = g_openPreviews > 0 ? 1 : 0;
}

// The sheet is laid out for portrait paper with small margins, whatever the printer was set to.
void PreparePrinter(QPrinter& printer) {
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(0.2, 0.2, 0.2, 0.2), QPageLayout::Inch);
    // Without a printer on this machine the sheet still goes to a PDF file.
    if (printer.outputFormat() == QPrinter::NativeFormat && QPrinterInfo::availablePrinters().isEmpty())
        printer.setOutputFormat(QPrinter::PdfFormat);
}

// The preview's printer, made before the dialog that uses it and gone after it.
struct PreviewPrinter {
    PreviewPrinter() { PreparePrinter(m_sheetPrinter); }
    QPrinter m_sheetPrinter{QPrinter::HighResolution};
};

// A modeless preview window: while it lives the main window closes without its question; that ends when
// the preview ends (printed, closed, or gone with its parent).
class ResultPreview final : private PreviewPrinter, public QPrintPreviewDialog {
public:
    explicit ResultPreview(QWidget* parent) : QPrintPreviewDialog(&m_sheetPrinter, parent) {
        setAttribute(Qt::WA_DeleteOnClose);
        setWindowModality(Qt::NonModal);
        ++g_openPreviews;
        SetCloseNoAsk();
        connect(this, &QPrintPreviewDialog::paintRequested, this,
                [](QPrinter* target) { PrintResultSheet(*target); });
    }
    ~ResultPreview() override { End(); }
    // Printed, cancelled or closed.
    void done(int result) override {
        End();
        QPrintPreviewDialog::done(result);
    }
    ResultPreview(const ResultPreview&) = delete;
    ResultPreview& operator=(const ResultPreview&) = delete;

private:
    void End() {
        if (m_ended)
            return;
        m_ended = true;
        --g_openPreviews;
        SetCloseNoAsk();
    }
    bool m_ended = false;
};

// The operator's main window above a dialog chain (the result sheet over the browser over the view): the
// preview belongs there, so it outlives the dialogs that asked for it.
QWidget* MainWindowOf(QWidget* widget) {
    while (widget && qobject_cast<QDialog*>(widget->window()))
        widget = widget->window()->parentWidget();
    return widget ? widget->window() : nullptr;
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
    auto preview = std::make_unique<ResultPreview>(MainWindowOf(parent));
    if (g_previewRunner)
        g_previewRunner(*preview);
    else
        preview->show();
    // Closed already (a runner may close it at once): it deletes itself once events run again.
    preview.release();
}

void PrintResultDirect(QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    PreparePrinter(printer);
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    PrintResultSheet(printer);
}
