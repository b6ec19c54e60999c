#include "controls/MyStatic.h"

#include "app/ColorRef.h"

#include <QFontMetrics>
#include <QPainter>

int DrawFormat::ToQt(UINT format) {
    int flags = 0;
    if (format & Center)
        flags |= Qt::AlignHCenter;
    else if (format & Right)
        flags |= Qt::AlignRight;
    else
        flags |= Qt::AlignLeft;
    if (format & VCenter)
        flags |= Qt::AlignVCenter;
    else if (format & Bottom)
        flags |= Qt::AlignBottom;
    else
        flags |= Qt::AlignTop;
    if (format & SingleLine)
        flags |= Qt::TextSingleLine;
    else if (format & WordBreak)
        flags |= Qt::TextWordWrap;
    return flags;
}

CMyStatic::CMyStatic(QWidget* parent) : QLabel(parent) {}

void CMyStatic::SetText(const QString& text, bool repaint) {
    if (text == QLabel::text())
        return;
    setText(text);
    if (repaint)
        update();
}

void CMyStatic::SetColours(COLORREF text, COLORREF back) {
    m_crText = text;
    m_crTextBk = back;
    m_crFill = back;
    update();
}

void CMyStatic::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), ColorFromRef(m_crFill));
    const QFont font = m_pFont ? *m_pFont : (parentWidget() ? parentWidget()->font() : QLabel::font());
    painter.setFont(font);
    const int flags = DrawFormat::ToQt(m_nFormat);
    // The text is drawn opaque: its own cells take the text background colour. Mostly that is the fill
    // colour, and laying the text out once more to find its cells would double the cost of a score's paint.
    if (!text().isEmpty() && m_crTextBk != m_crFill)
        painter.fillRect(painter.boundingRect(rect(), flags, text()), ColorFromRef(m_crTextBk));
    painter.setPen(ColorFromRef(m_crText));
    painter.drawText(rect(), flags, text());
}
