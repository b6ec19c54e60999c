// The operator screen's line about the WT JSON API: shown while documents wait because the server has not
// taken them, or while the loaded match has no API id, so the operator knows the results did not reach
// the federation's server. Hidden while all goes well. UI thread.
#pragma once

class QWidget;

// Puts the line on the operator view, in the free strip of its bottom row, and keeps it current.
void AttachWtDeliveryNotice(QWidget& view);
