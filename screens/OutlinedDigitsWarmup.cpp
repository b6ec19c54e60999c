#include "screens/OutlinedDigitsWarmup.h"

#include <QTimerEvent>

COutlinedDigitsWarmup::COutlinedDigitsWarmup(COutlinedTextCache& cache,
                                             std::vector<COutlinedTextCache::Style> styles, QObject* parent)
    : QObject(parent), m_cache(cache), m_styles(std::move(styles)) {
    if (!m_styles.empty())
        m_timer = startTimer(0);
}

void COutlinedDigitsWarmup::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_timer)
        return QObject::timerEvent(event);
    const std::size_t steps = m_styles.size() * kLengths * 10;
    if (m_next < steps) {
        COutlinedTextCache::Style style = m_styles[m_next / (kLengths * 10)];
        const int length = static_cast<int>(m_next / 10 % kLengths) + 1;
        // A number of one repeated digit puts that digit in every place a number of its length has.
        style.text = QString(length, QChar(u'0' + static_cast<char16_t>(m_next % 10)));
        m_cache.Prepare(style);
        ++m_next;
        return;
    }
    // Then the canvases of the large pictures, one a turn.
    if (!m_cache.PrepareCanvas()) {
        killTimer(m_timer);
        m_timer = 0;
    }
}
