// The glyphs of the numbers a screen is about to show, prepared ahead in the event loop's idle turns: each
// digit at each place of a number of one, two and three digits, in each style, one digit and length at a
// time (those of a 400-pixel score take a millisecond or two), then the canvases the large pictures are
// drawn on, one a turn. The first hits of a match then compose their scores and levels from kept glyphs on
// memory already touched, instead of rasterising them or faulting in pages while a burst of hits waits
// behind the paint that shows them.
//
// Thread: user-interface thread.
#pragma once

#include "screens/OutlinedTextCache.h"

#include <QObject>

#include <cstddef>
#include <vector>

class COutlinedDigitsWarmup final : public QObject {
public:
    // The cache must outlive the warm-up.
    COutlinedDigitsWarmup(COutlinedTextCache& cache, std::vector<COutlinedTextCache::Style> styles,
                          QObject* parent = nullptr);
    bool Done() const { return m_timer == 0; }

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    static constexpr int kLengths = 3;
    COutlinedTextCache& m_cache;
    std::vector<COutlinedTextCache::Style> m_styles;
    std::size_t m_next = 0; // the next step: style, then length, then digit
    int m_timer = 0;        // 0 once every step is done
};
