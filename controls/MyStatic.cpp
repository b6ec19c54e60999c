#include "controls/MyStatic.h"

#include "app/ColorRef.h"

#include <QPainter>

#include <cmath>

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

CMyStatic::CMyStatic(QWidget* parent) : QLabel(parent) {
    // The label draws its text as it is: nothing in it is markup to look for at every change.
    setTextFormat(Qt::PlainText);
}

void CMyStatic::SetText(const QString& text) {
    setText(text); // repaints the label when the text changed
}

void CMyStatic::SetColours(COLORREF text, COLORREF back) {
    m_crText = text;
    m_crTextBk = back;
    m_crFill = back;
    update();
}

CStaticPictures::Look CMyStatic::CurrentLook() const {
    const QFont& own = m_pFont ? *m_pFont : (parentWidget() ? parentWidget()->font() : QLabel::font());
    return {text(),
            own.resolve(font()),
            DrawFormat::ToQt(m_nFormat),
            size(),
            ColorFromRef(m_crFill).rgb(),
            ColorFromRef(m_crTextBk).rgb(),
            ColorFromRef(m_crText).rgb()};
}

void CMyStatic::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const CStaticPictures::Look look = CurrentLook();
    // A picture is of the label's own pixels: a scaled painter (a monitor with a device pixel ratio other
    // than 1, a scaled render) draws the label as it comes.
    const QTransform t = painter.deviceTransform();
    const bool wholePixels =
        t.type() <= QTransform::TxTranslate && t.dx() == std::floor(t.dx()) && t.dy() == std::floor(t.dy());
    if (!wholePixels || devicePixelRatioF() != 1.0 || !CStaticPictures::Keepable(look)) {
        CStaticPictures::DrawDirect(painter, look);
        return;
    }
    CStaticPictures::Shared().Paint(painter, look);
}
