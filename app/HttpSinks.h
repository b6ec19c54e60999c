// Write sinks handed to the HTTP client (libcurl write-callback shape) by the WT JSON interface, and the
// reply text the GET requests fill.
#pragma once

#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

// The WT reply text: the body of the last match-list or match GET, or "HTTP Response Code : %d" after a
// status GET or a failed GET. There is none until something is written, and none again once a reader
// took it. Thread: any; m_mutex guards m_text, because the UI thread and the post thread both reach it.
class HttpReplyText {
public:
    // Appends, creating an empty text first when there is none.
    void append(std::string_view bytes);
    void assign(std::string text);
    // Empties the text when there is one; none stays none.
    void clearIfPresent();
    // Leaves no text.
    void reset();
    // The text, leaving none behind: for the reader that uses it.
    std::optional<std::string> take();
    std::optional<std::string> peek() const;

private:
    mutable std::mutex m_mutex;
    std::optional<std::string> m_text;
};

extern HttpReplyText g_strHttpResp;

// The reply of the status request or of one POST, collected by WtApiWriteStatus. `data` is null until the
// first write, then a block of size + 1 bytes whose last byte is zero, grown with realloc. The record owns
// the block and frees it; it moves but is not copied. One transfer fills it at a time.
struct HttpReplyChunk {
    char* data = nullptr;
    std::size_t size = 0;

    HttpReplyChunk() = default;
    ~HttpReplyChunk();
    HttpReplyChunk(HttpReplyChunk&& other) noexcept;
    HttpReplyChunk& operator=(HttpReplyChunk&& other) noexcept;
    HttpReplyChunk(const HttpReplyChunk&) = delete;
    HttpReplyChunk& operator=(const HttpReplyChunk&) = delete;

    std::string_view text() const { return {data ? data : "", size}; }
};

// Write sink of the match-list and match GETs: appends size x count bytes to g_strHttpResp and returns
// size x count; the last argument is not read. Returns 0, which makes the client abort the transfer, when
// the text cannot grow. Thread: any.
std::size_t WtApiWriteBody(char* data, std::size_t size, std::size_t count, void* unused);

// Write sink of the status GET and of every POST: appends size x count bytes to the HttpReplyChunk the last
// argument points to, keeps it zero-terminated and returns size x count. When the block cannot grow it
// prints "not enough memory (realloc returned NULL)\n" to standard output, leaves the chunk as it was and
// returns 0, which makes the client abort the transfer. Thread: any, one transfer per chunk at a time.
std::size_t WtApiWriteStatus(char* data, std::size_t size, std::size_t count, void* chunk);
