#include "records/PageModel.h"

#include <QBrush>
#include <QFont>
#include <QPainter>
#include <QPen>
#include <QPolygon>
#include <QString>
#include <QStringList>

#include <cmath>

namespace {

QBrush FillBrush(int fill) {
    if (fill & PageFill::Gray)
        return QBrush(QColor(128, 128, 128));
    if (fill & PageFill::LightGray)
        return QBrush(QColor(192, 192, 192));
    if (fill & PageFill::DarkGray)
        return QBrush(QColor(64, 64, 64));
    if (fill & PageFill::Black)
        return QBrush(Qt::black);
    return Qt::NoBrush;
}

Qt::PenStyle LineStyle(int flags) {
    if (flags & PageLine::Dashed)
        return Qt::DashLine;
    if (flags & PageLine::Dotted)
        return Qt::DotLine;
    if (flags & PageLine::DashDot)
        return Qt::DashDotLine;
    if (flags & PageLine::DashDotDot)
        return Qt::DashDotDotLine;
    return Qt::SolidLine;
}

QString Q(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

CPage::CPage(QPainter& painter, const QRect& printRect, int dpiX, int dpiY, bool landscape)
    : m_painter(painter), m_dpiX(dpiX > 0 ? dpiX : 72), m_dpiY(dpiY > 0 ? dpiY : 72),
      m_right(printRect.right() + 1), m_bottom(printRect.bottom() + 1),
      m_widthInches(static_cast<double>(m_right) / m_dpiX),
      m_heightInches(static_cast<double>(m_bottom) / m_dpiY) {
    // Layouts are 8 inches wide in portrait and 10.5 in landscape; wider paper centres them.
    const double excess = landscape ? (m_widthInches > 10.9 ? m_widthInches - 10.5 : 0.0)
                                    : (m_widthInches > 8.0 ? m_widthInches - 8.0 : 0.0);
    if (excess > 0)
        m_offset = static_cast<int>(0.5 * static_cast<int>(m_dpiX * excess));
}

int CPage::Row(double inches) const {
    return inches <= 0 ? 0 : static_cast<int>(m_dpiY * inches);
}

int CPage::Column(double inches) const {
    return inches <= 0 ? 0 : static_cast<int>(m_dpiX * inches);
}

QStringList CPage::FamiliesOf(std::u16string_view face) {
    // Latin text takes a Latin face and Hangul the Korean face behind it: the digits of the CJK faces lose
    // their text in a PDF (a reader finds nothing where they print). Gulim is a sans face, Batang a serif
    // one.
    if (face == u"굴림" || face == u"Gulim")
        return {QStringLiteral("Liberation Sans"), QStringLiteral("Noto Sans CJK KR")};
    if (face == u"바탕" || face == u"Batang")
        return {QStringLiteral("Liberation Serif"), QStringLiteral("Noto Serif CJK KR")};
    return {Q(face), QStringLiteral("Liberation Sans"), QStringLiteral("Noto Sans CJK KR")};
}

std::u16string CPage::SetFontFace(std::u16string_view face) {
    std::u16string previous = m_face;
    m_face = face;
    return previous;
}

int CPage::SetFontSize(int pointSize) {
    const int previous = m_pointSize;
    m_pointSize = pointSize;
    return previous;
}

double CPage::PrintText(double row, double column, int flags, int pointSize, std::u16string_view text) {
    const int y = Row(row);
    const int x = Column(column);
    if (m_right < x || m_bottom < y)
        return 0;
    if (pointSize > 0)
        m_pointSize = pointSize;
    if (flags != PageText::Keep)
        m_textFlags = flags;
    const int em = static_cast<int>(m_dpiY * m_pointSize / 72.0);
    if (!text.empty()) {
        QFont font;
        font.setFamilies(FamiliesOf(m_face)); // Korean names print in every face
        font.setPixelSize(std::max(1, em));
        font.setBold(m_textFlags & PageText::Bold);
        font.setItalic(m_textFlags & PageText::Italic);
        font.setUnderline(m_textFlags & PageText::Underline);
        font.setStrikeOut(m_textFlags & PageText::StrikeOut);
        int align = Qt::AlignTop;
        align |= (m_textFlags & PageText::Centre)  ? Qt::AlignHCenter
                 : (m_textFlags & PageText::Right) ? Qt::AlignRight
                                                   : Qt::AlignLeft;
        if (m_textFlags & PageText::VCentre)
            align = (align & ~Qt::AlignTop) | Qt::AlignVCenter;
        if (m_textFlags & PageText::ExpandTabs)
            align |= Qt::TextExpandTabs;
        if (m_textFlags & PageText::NoClip)
            align |= Qt::TextDontClip;
        align |= (m_textFlags & PageText::SingleLine) ? Qt::TextSingleLine : Qt::TextWordWrap;
        const QRect box(QPoint(x + m_offset, y), QPoint(m_right - m_offset - 1, m_bottom - 1));
        m_painter.save();
        m_painter.setFont(font);
        const QString shown = Q(text);
        QRect measured = m_painter.boundingRect(box, align, shown);
        m_painter.setPen(QPen(Qt::black));
        m_painter.drawText(box, align, shown);
        m_painter.restore();
        // A single line takes its em height, so rows keep the pitch of the layout whatever the face's own
        // line spacing; wrapped text takes its measured lines.
        if (m_textFlags & PageText::SingleLine)
            measured.setBottom(y + em - 1);
        measured.setTop(y);
        m_lastExtent = measured;
    } else {
        m_lastExtent = QRect(x + m_offset, y, 0, em);
    }
    const int bottom = m_lastExtent.top() + m_lastExtent.height();
    const int next = bottom + static_cast<int>((m_spacing - 1) * em);
    return next < 1 ? 0 : static_cast<double>(next) / m_dpiY;
}

void CPage::DrawLine(double top, double left, double bottom, double right, int penWidth, int lineFlags) {
    m_painter.save();
    QPen pen(Qt::black, std::max(1, penWidth * m_dpiX / 300), LineStyle(lineFlags));
    m_painter.setPen(pen);
    m_painter.drawLine(Column(left) + m_offset, Row(top), Column(right) + m_offset, Row(bottom));
    m_painter.restore();
}

void CPage::DrawBox(double top, double left, double bottom, double right, int penWidth, int fillFlags,
                    int borderFlags) {
    m_painter.save();
    m_painter.setPen(QPen(Qt::black, std::max(1, penWidth * m_dpiX / 300),
                          LineStyle(borderFlags & (PageLine::Dotted | PageLine::Dashed))));
    m_painter.setBrush(FillBrush(fillFlags));
    const int l = Column(left) + m_offset;
    const int r = Column(right) + m_offset;
    const QPolygon corners(
        {QPoint(l, Row(top)), QPoint(r, Row(top)), QPoint(r, Row(bottom)), QPoint(l, Row(bottom))});
    m_painter.drawPolygon(corners);
    m_painter.restore();
}
