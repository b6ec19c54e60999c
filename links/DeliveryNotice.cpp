#include "links/DeliveryNotice.h"

#include "links/WtApiClient.h"

#include <QLabel>
#include <QString>
#include <QTimer>

namespace {

// Between the bottom row's left tools and "Result View".
constexpr QRect kStrip{545, 691, 445, 26};
// How often the line follows the post thread: often enough for the operator, rarely enough to cost nothing.
constexpr int kRefreshMs = 500;

void Refresh(QLabel& label) {
    const QString text = QString::fromStdU16String(WtApiDeliveryNotice());
    if (text != label.text())
        label.setText(text);
    label.setToolTip(text);
    label.setVisible(!text.isEmpty());
}

} // namespace

void AttachWtDeliveryNotice(QWidget& view) {
    auto* label = new QLabel(&view);
    label->setObjectName(QStringLiteral("WtDeliveryNotice"));
    label->setAccessibleName(QStringLiteral("WT server delivery"));
    label->setGeometry(kStrip);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(QStringLiteral("QLabel { background: #f0a020; color: #1a1a1a; font-weight: bold; "
                                        "border-radius: 4px; padding: 0 6px; }"));
    label->hide();
    auto* timer = new QTimer(label);
    QObject::connect(timer, &QTimer::timeout, label, [label] { Refresh(*label); });
    timer->start(kRefreshMs);
    Refresh(*label);
}
