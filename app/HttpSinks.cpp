#include "app/HttpSinks.h"

#include <cassert>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>
#include <utility>

HttpReplyText g_strHttpResp;

void HttpReplyText::append(std::string_view bytes) {
    std::lock_guard lock(m_mutex);
    if (!m_text)
        m_text.emplace();
    m_text->append(bytes);
}

void HttpReplyText::assign(std::string text) {
    std::lock_guard lock(m_mutex);
    m_text = std::move(text);
}

void HttpReplyText::clearIfPresent() {
    std::lock_guard lock(m_mutex);
    if (m_text)
        m_text->clear();
}

void HttpReplyText::reset() {
    std::lock_guard lock(m_mutex);
    m_text.reset();
}

std::optional<std::string> HttpReplyText::take() {
    std::lock_guard lock(m_mutex);
    return std::exchange(m_text, std::nullopt);
}

std::optional<std::string> HttpReplyText::peek() const {
    std::lock_guard lock(m_mutex);
    return m_text;
}

HttpReplyChunk::~HttpReplyChunk() {
    std::free(data);
}

HttpReplyChunk::HttpReplyChunk(HttpReplyChunk&& other) noexcept
    : data(std::exchange(other.data, nullptr)), size(std::exchange(other.size, 0)) {}

HttpReplyChunk& HttpReplyChunk::operator=(HttpReplyChunk&& other) noexcept {
    if (this != &other) {
        std::free(data);
        data = std::exchange(other.data, nullptr);
        size = std::exchange(other.size, 0);
    }
    return *this;
}

namespace {

// size x count, or nothing when the product does not fit.
std::optional<std::size_t> byteCount(std::size_t size, std::size_t count) {
    if (count != 0 && size > std::numeric_limits<std::size_t>::max() / count)
        return std::nullopt;
    return size * count;
}

} // namespace

std::size_t WtApiWriteBody(char* data, std::size_t size, std::size_t count, void* /*unused*/) {
    const auto bytes = byteCount(size, count);
    if (!bytes || (*bytes > 0 && !data))
        return 0;
    // An exception must not cross the HTTP client's C frames; a refused write aborts the transfer instead.
    try {
        g_strHttpResp.append(std::string_view(data, *bytes));
    } catch (const std::bad_alloc&) {
        return 0;
    } catch (const std::length_error&) {
        return 0;
    }
    return *bytes;
}

std::size_t WtApiWriteStatus(char* data, std::size_t size, std::size_t count, void* chunkArg) {
    auto* chunk = static_cast<HttpReplyChunk*>(chunkArg);
    assert(chunk && "WtApiWriteStatus needs its reply chunk");
    if (!chunk)
        return 0;
    const auto bytes = byteCount(size, count);
    if (bytes && *bytes > 0 && !data)
        return 0;
    // The new length plus the terminating zero must fit before realloc is asked for it.
    const bool fits = bytes && *bytes < std::numeric_limits<std::size_t>::max() - chunk->size;
    char* grown = fits ? static_cast<char*>(std::realloc(chunk->data, chunk->size + *bytes + 1)) : nullptr;
    if (!grown) {
        std::fputs("not enough memory (realloc returned NULL)\n", stdout);
        return 0;
    }
    chunk->data = grown;
    if (*bytes > 0)
        std::memcpy(grown + chunk->size, data, *bytes);
    chunk->size += *bytes;
    grown[chunk->size] = '\0';
    return *bytes;
}
