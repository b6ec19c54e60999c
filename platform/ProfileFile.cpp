#include "platform/ProfileFile.h"

#include "platform/CodePage.h"
#include "platform/DebugOutput.h"

#include <QChar>

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

namespace {

std::mutex g_profileLock; // serialises every read and every read-modify-write of a settings file

enum class Encoding { Utf8, Utf8Bom, Utf16Le };

// A file's text in its own code units (bytes for UTF-8, UTF-16 units for UTF-16LE), so that lines the
// writer does not change go back to disk exactly as they were read, even when they are not valid text.
struct FileText {
    Encoding encoding = Encoding::Utf8;
    std::string utf8;
    std::u16string utf16;
};

bool isBlank(char32_t c) {
    return c == ' ' || c == '\t' || c == '\r';
}

template <class Char> std::basic_string_view<Char> trim(std::basic_string_view<Char> s) {
    while (!s.empty() && isBlank(static_cast<char32_t>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(static_cast<char32_t>(s.back())))
        s.remove_suffix(1);
    return s;
}

std::u16string toWide(std::string_view s) {
    return MultiByteToWide(s, CP_UTF8);
}
std::u16string toWide(std::u16string_view s) {
    return std::u16string(s);
}

template <class Char> std::basic_string<Char> fromWide(std::u16string_view s);
template <> std::string fromWide<char>(std::u16string_view s) {
    return WideToMultiByte(s, CP_UTF8);
}
template <> std::u16string fromWide<char16_t>(std::u16string_view s) {
    return std::u16string(s);
}

bool sameName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && QChar::toCaseFolded(char32_t(a[i])) != QChar::toCaseFolded(char32_t(b[i])))
            return false;
    }
    return true;
}

struct Line {
    enum Kind { Other, Section, Key } kind = Other;
    size_t start = 0;      // first unit of the line
    size_t contentEnd = 0; // end of the text, before "\r\n" or "\n"
    size_t next = 0;       // first unit of the next line
    std::u16string name;   // section or key name, trimmed
    size_t valueStart = 0; // Key: the unit after '='
};

template <class Char> std::vector<Line> splitLines(std::basic_string_view<Char> text) {
    std::vector<Line> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        Line line;
        line.start = pos;
        const size_t newline = text.find(Char('\n'), pos);
        line.next = newline == text.npos ? text.size() : newline + 1;
        line.contentEnd = newline == text.npos ? text.size() : newline;
        if (newline != text.npos && line.contentEnd > pos && text[line.contentEnd - 1] == Char('\r'))
            --line.contentEnd;
        const auto content = text.substr(pos, line.contentEnd - pos);
        const auto body = trim(content);
        if (!body.empty() && body.front() == Char('[')) {
            line.kind = Line::Section;
            const auto inner = body.substr(1);
            line.name = toWide(trim(inner.substr(0, inner.find(Char(']')))));
        } else if (!body.empty() && body.front() != Char(';')) {
            const size_t equals = content.find(Char('='));
            if (equals != content.npos) {
                line.kind = Line::Key;
                line.name = toWide(trim(content.substr(0, equals)));
                line.valueStart = pos + equals + 1;
            }
        }
        lines.push_back(std::move(line));
        pos = lines.back().next;
    }
    return lines;
}

// The first section of that name, where it ends, and the first key of that name in it.
struct Location {
    std::optional<size_t> section;
    size_t sectionEnd = 0;
    std::optional<size_t> key;
};

Location locate(const std::vector<Line>& lines, std::u16string_view section, std::u16string_view key) {
    Location at;
    at.sectionEnd = lines.size();
    for (size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (line.kind == Line::Section) {
            if (at.section) {
                at.sectionEnd = i;
                break;
            }
            if (sameName(line.name, section))
                at.section = i;
        } else if (at.section && !at.key && line.kind == Line::Key && sameName(line.name, key)) {
            at.key = i;
        }
    }
    return at;
}

template <class Char> std::u16string valueOf(std::basic_string_view<Char> text, const Line& line) {
    auto value = trim(text.substr(line.valueStart, line.contentEnd - line.valueStart));
    if (value.size() >= 2 && value.front() == value.back() &&
        (value.front() == Char('"') || value.front() == Char('\''))) {
        value.remove_prefix(1);
        value.remove_suffix(1);
    }
    return toWide(value);
}

// Quotes a value that would otherwise lose its end blanks or its own quotes when read back.
std::u16string storedValue(std::u16string_view value) {
    const bool quote = !value.empty() && (isBlank(value.front()) || isBlank(value.back()) ||
                                          (value.size() >= 2 && value.front() == value.back() &&
                                           (value.front() == u'"' || value.front() == u'\'')));
    return quote ? u"\"" + std::u16string(value) + u"\"" : std::u16string(value);
}

template <class Char> std::basic_string<Char> newlineOf(std::basic_string_view<Char> text) {
    const size_t newline = text.find(Char('\n'));
    if (newline != text.npos && (newline == 0 || text[newline - 1] != Char('\r')))
        return {Char('\n')};
    return {Char('\r'), Char('\n')};
}

struct Change {
    std::u16string section;
    std::optional<std::u16string> key;   // none: delete the section
    std::optional<std::u16string> value; // none: delete the key
};

// The file text after the change, or nothing when the change leaves the text as it is.
template <class Char>
std::optional<std::basic_string<Char>> applyChange(std::basic_string_view<Char> text, const Change& change) {
    using String = std::basic_string<Char>;
    const std::vector<Line> lines = splitLines(text);
    const String nl = newlineOf(text);

    if (!change.key) { // every copy of the section goes
        String out;
        bool inSection = false, removed = false;
        for (const Line& line : lines) {
            if (line.kind == Line::Section)
                inSection = sameName(line.name, change.section);
            if (inSection)
                removed = true;
            else
                out.append(text.substr(line.start, line.next - line.start));
        }
        return removed ? std::optional(out) : std::nullopt;
    }

    const Location at = locate(lines, change.section, *change.key);
    if (!change.value) { // every copy of the key in the section goes
        if (!at.key)
            return std::nullopt;
        String out;
        for (size_t i = 0; i < lines.size(); ++i) {
            const Line& line = lines[i];
            const bool drop = i > *at.section && i < at.sectionEnd && line.kind == Line::Key &&
                              sameName(line.name, *change.key);
            if (!drop)
                out.append(text.substr(line.start, line.next - line.start));
        }
        return out;
    }

    const String value = fromWide<Char>(storedValue(*change.value));
    if (at.key) {
        const Line& line = lines[*at.key];
        size_t valueFrom = line.valueStart;
        while (valueFrom < line.contentEnd && (text[valueFrom] == Char(' ') || text[valueFrom] == Char('\t')))
            ++valueFrom;
        String out(text.substr(0, valueFrom));
        out += value;
        out.append(text.substr(line.contentEnd));
        if (out == text)
            return std::nullopt;
        return out;
    }

    const String entry = fromWide<Char>(*change.key) + String(1, Char('=')) + value + nl;
    if (at.section) {
        // After the section's last non-blank line, so a blank line before the next section stays there.
        size_t after = *at.section;
        for (size_t i = *at.section + 1; i < at.sectionEnd; ++i) {
            if (!trim(text.substr(lines[i].start, lines[i].contentEnd - lines[i].start)).empty())
                after = i;
        }
        const Line& line = lines[after];
        String out(text.substr(0, line.next));
        if (line.next == line.contentEnd) // the file's last line had no line end
            out += nl;
        out += entry;
        out.append(text.substr(line.next));
        return out;
    }

    String out(text);
    if (!lines.empty()) {
        const Line& last = lines.back();
        if (last.next == last.contentEnd)
            out += nl;
        if (!trim(text.substr(last.start, last.contentEnd - last.start)).empty())
            out += nl; // a blank line between sections
    }
    out += String(1, Char('[')) + fromWide<Char>(change.section) + String(1, Char(']')) + nl + entry;
    return out;
}

enum class ReadStatus { Ok, Missing, Failed };

ReadStatus readBytes(const std::string& path, std::string& bytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? ReadStatus::Missing : ReadStatus::Failed;
    bytes.clear();
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return ReadStatus::Failed;
        }
        if (n == 0)
            break;
        bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return ReadStatus::Ok;
}

FileText decode(const std::string& bytes) {
    FileText file;
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
        file.encoding = Encoding::Utf16Le;
        // An odd last byte is not a character; it is dropped.
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            file.utf16.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                       static_cast<unsigned char>(bytes[i + 1]) << 8));
    } else if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        file.encoding = Encoding::Utf8Bom;
        file.utf8 = bytes.substr(3);
    } else {
        file.utf8 = bytes;
    }
    return file;
}

std::string encode(const FileText& file) {
    switch (file.encoding) {
    case Encoding::Utf8:
        return file.utf8;
    case Encoding::Utf8Bom:
        return "\xEF\xBB\xBF" + file.utf8;
    case Encoding::Utf16Le:
        break;
    }
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : file.utf16) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

bool writeAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Writes a temporary file next to the target, flushes it and renames it over the target.
bool replaceFile(const std::string& path, const std::string& bytes) {
    std::string target = path;
    if (char* real = ::realpath(path.c_str(), nullptr)) { // write through a link, not over it
        target = real;
        std::free(real);
    }
    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    const std::string temporary = target + "." + std::to_string(::getpid()) + ".tmp";
    ::unlink(temporary.c_str()); // left over by a crashed run that had the same process id
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    bool ok = (!existed || ::fchmod(fd, old.st_mode & 07777) == 0) && writeAll(fd, bytes) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        const int error = errno; // for the caller's message
        ::unlink(temporary.c_str());
        errno = error;
    }
    return ok;
}

// A name as the lookup compares it: each unit case-folded, as sameName does.
std::u32string folded(std::u16string_view name) {
    std::u32string out;
    out.reserve(name.size());
    for (const char16_t unit : name)
        out.push_back(QChar::toCaseFolded(char32_t(unit)));
    return out;
}

// Every value of a file a reader can find: the first section of each name, the first key of each name in
// it. Built once per version of the file, so a loader that reads thousands of keys reads the file once.
struct ParsedFile {
    std::unordered_map<std::u32string, std::unordered_map<std::u32string, std::u16string>> sections;
};

template <class Char> ParsedFile parse(std::basic_string_view<Char> text) {
    ParsedFile parsed;
    std::unordered_map<std::u32string, std::u16string>* current = nullptr;
    for (const Line& line : splitLines(text)) {
        if (line.kind == Line::Section) {
            const auto [it, inserted] = parsed.sections.try_emplace(folded(line.name));
            current = inserted ? &it->second : nullptr; // a later copy of a section is not read
        } else if (line.kind == Line::Key && current) {
            current->try_emplace(folded(line.name), valueOf(text, line));
        }
    }
    return parsed;
}

// Tells one version of a file from another: a write (ours replaces the file, so its inode changes) or an
// edit by another program changes one of these.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};
    bool operator==(const FileStamp& o) const {
        return device == o.device && inode == o.inode && size == o.size &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec &&
               changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
    }
};

std::optional<FileStamp> stampOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return FileStamp{info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
}

// The files read last, parsed; under g_profileLock. A few, since loaders read two files in turn.
struct CachedFile {
    std::string path;
    FileStamp stamp;
    std::shared_ptr<const ParsedFile> parsed;
};
constexpr size_t kCachedFiles = 4;
constexpr long long kSettledMs = 100; // a file younger than this is read again at every lookup
std::vector<CachedFile> g_cache;
unsigned g_fileReads = 0;

void forget(const std::string& path) {
    std::erase_if(g_cache, [&](const CachedFile& c) { return c.path == path; });
}

bool folderExists(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    struct stat info {};
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Writes that wait for the disk, under g_profileLock: a file's whole new bytes (a newer write of the file
// takes the place of a waiting one), which every lookup of this process reads until they are on the disk.
// One writer thread replaces the files, so no caller waits for the disk's flush.
struct PendingWrite {
    std::string bytes;
    std::uint64_t generation = 0;
    std::shared_ptr<const ParsedFile> parsed; // parsed at the first lookup
};
std::unordered_map<std::string, PendingWrite> g_pending;
std::uint64_t g_generation = 0;
std::condition_variable g_pendingAdded;   // the writer thread: a write, or the stop flag
std::condition_variable g_pendingWritten; // flushProfileWrites: a write is done

class WriteBehind {
public:
    ~WriteBehind() {
        {
            std::lock_guard lock(g_profileLock);
            if (!m_thread.joinable())
                return;
            m_stop = true;
        }
        g_pendingAdded.notify_all();
        m_thread.join();
    }
    // Under g_profileLock: the writer thread runs.
    void Wake() {
        if (!m_thread.joinable())
            m_thread = std::thread(&WriteBehind::Run, this);
        g_pendingAdded.notify_one();
    }

private:
    void Run() {
        std::unique_lock lock(g_profileLock);
        for (;;) {
            g_pendingAdded.wait(lock, [&] { return m_stop || !g_pending.empty(); });
            if (g_pending.empty())
                break; // stopping, with every write done
            const auto next = g_pending.begin();
            const std::string path = next->first;
            const std::string bytes = next->second.bytes;
            const std::uint64_t generation = next->second.generation;
            lock.unlock();
            const bool ok = replaceFile(path, bytes);
            const int error = errno;
            lock.lock();
            const auto written = g_pending.find(path);
            // A file whose folder is gone has nowhere to go; neither has one the process ends with.
            if (ok || m_stop || !folderExists(path)) {
                if (!ok)
                    DebugPrintf("settings file %s cannot be written (%s); the change is lost", path.c_str(),
                                std::strerror(error));
                if (written != g_pending.end() && written->second.generation == generation)
                    g_pending.erase(written);
                forget(path);
                g_pendingWritten.notify_all();
                continue;
            }
            // Kept, and tried again: this process reads the change meanwhile.
            DebugPrintf("settings file %s cannot be written (%s); tried again in a second", path.c_str(),
                        std::strerror(error));
            g_pendingAdded.wait_for(lock, std::chrono::seconds(1), [&] { return m_stop; });
        }
    }

    bool m_stop = false;
    std::thread m_thread;
};
WriteBehind g_writeBehind;


// The parsed file, read again only when it changed. Null when it is missing or cannot be read.
std::shared_ptr<const ParsedFile> parsedFile(const std::string& path) {
    if (const auto pending = g_pending.find(path); pending != g_pending.end()) {
        PendingWrite& write = pending->second;
        if (!write.parsed) {
            const FileText file = decode(write.bytes);
            write.parsed = std::make_shared<const ParsedFile>(file.encoding == Encoding::Utf16Le
                                                                  ? parse(std::u16string_view(file.utf16))
                                                                  : parse(std::string_view(file.utf8)));
        }
        return write.parsed;
    }
    const std::optional<FileStamp> stamp = stampOf(path);
    if (!stamp) {
        forget(path);
        return nullptr;
    }
    for (const CachedFile& c : g_cache)
        if (c.path == path && c.stamp == *stamp)
            return c.parsed;
    std::string bytes;
    if (readBytes(path, bytes) != ReadStatus::Ok)
        return nullptr;
    ++g_fileReads;
    const FileText file = decode(bytes);
    auto parsed = std::make_shared<const ParsedFile>(file.encoding == Encoding::Utf16Le
                                                         ? parse(std::u16string_view(file.utf16))
                                                         : parse(std::string_view(file.utf8)));
    // Stamped before the read: a change while it was read makes the next lookup read again. A file
    // changed in the last moments is not kept: file times are coarse, and a second edit of the same size
    // within the same tick would look unchanged.
    forget(path);
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const long long ageMs =
        (now.tv_sec - stamp->modified.tv_sec) * 1000LL + (now.tv_nsec - stamp->modified.tv_nsec) / 1000000LL;
    if (ageMs < kSettledMs)
        return parsed;
    if (g_cache.size() >= kCachedFiles)
        g_cache.erase(g_cache.begin());
    g_cache.push_back({path, *stamp, parsed});
    return parsed;
}

std::optional<std::u16string> readValue(const std::string& path, std::u16string_view section,
                                        std::u16string_view key) {
    const std::shared_ptr<const ParsedFile> file = parsedFile(path);
    if (!file)
        return std::nullopt;
    const auto s = file->sections.find(folded(trim(section)));
    if (s == file->sections.end())
        return std::nullopt;
    const auto k = s->second.find(folded(trim(key)));
    if (k == s->second.end())
        return std::nullopt;
    return k->second;
}

bool hasAny(std::u16string_view text, std::u16string_view units) {
    return text.find_first_of(units) != text.npos;
}

// Refuses names and values that would change the file's line structure.
bool validChange(const Change& change) {
    if (hasAny(change.section, u"\r\n]"))
        return false;
    if (change.key) {
        const std::u16string& key = *change.key;
        if (key.empty() || hasAny(key, u"\r\n=") || key.front() == u'[' || key.front() == u';')
            return false;
    }
    return !change.value || !hasAny(*change.value, u"\r\n");
}

BOOL writeChange(const std::string& path, Change change) {
    change.section = std::u16string(trim(std::u16string_view(change.section)));
    if (change.key)
        change.key = std::u16string(trim(std::u16string_view(*change.key)));
    if (!validChange(change)) {
        DebugPrintf("settings file %s: refused a section, key or value that would break its lines",
                    path.c_str());
        return FALSE;
    }
    std::string bytes;
    const auto pending = g_pending.find(path);
    const ReadStatus status =
        pending != g_pending.end() ? (bytes = pending->second.bytes, ReadStatus::Ok) : readBytes(path, bytes);
    if (status == ReadStatus::Failed) {
        DebugPrintf("settings file %s cannot be read (%s); not written", path.c_str(), std::strerror(errno));
        return FALSE;
    }
    if (status == ReadStatus::Missing && !change.value)
        return TRUE; // nothing to delete
    FileText file = decode(bytes);
    bool changed = false;
    if (file.encoding == Encoding::Utf16Le) {
        if (auto text = applyChange(std::u16string_view(file.utf16), change)) {
            file.utf16 = std::move(*text);
            changed = true;
        }
    } else if (auto text = applyChange(std::string_view(file.utf8), change)) {
        file.utf8 = std::move(*text);
        changed = true;
    }
    if (!changed && status == ReadStatus::Ok)
        return TRUE;
    if (!folderExists(path)) {
        DebugPrintf("settings file %s cannot be written: its folder is not there", path.c_str());
        return FALSE;
    }
    forget(path);
    PendingWrite& write = g_pending[path];
    write.bytes = encode(file);
    write.generation = ++g_generation;
    write.parsed.reset();
    g_writeBehind.Wake();
    return TRUE;
}

std::u16string_view view(const char16_t* text) {
    return text ? std::u16string_view(text) : std::u16string_view();
}

std::string pathOf(const char16_t* path) {
    return WideToMultiByte(view(path), CP_UTF8);
}

DWORD copyOut(std::u16string_view value, char16_t* out, DWORD size) {
    if (!out || size == 0)
        return 0;
    size_t n = std::min<size_t>(value.size(), size - 1);
    if (n < value.size() && n > 0 && value[n - 1] >= 0xD800 && value[n - 1] <= 0xDBFF)
        --n; // not half a surrogate pair
    std::copy_n(value.data(), n, out);
    out[n] = u'\0';
    return static_cast<DWORD>(n);
}

DWORD copyOut(std::string_view value, char* out, DWORD size) {
    if (!out || size == 0)
        return 0;
    size_t n = std::min<size_t>(value.size(), size - 1);
    if (n < value.size())
        while (n > 0 && (static_cast<unsigned char>(value[n]) & 0xC0) == 0x80)
            --n; // not part of a UTF-8 sequence
    std::copy_n(value.data(), n, out);
    out[n] = '\0';
    return static_cast<DWORD>(n);
}

std::optional<std::u16string> lookUp(const std::string& path, const char16_t* section, const char16_t* key) {
    if (!section || !key || path.empty())
        return std::nullopt;
    std::lock_guard lock(g_profileLock);
    return readValue(path, section, key);
}

} // namespace

DWORD GetPrivateProfileStringW(const char16_t* section, const char16_t* key, const char16_t* def,
                               char16_t* out, DWORD size, const char16_t* path) {
    const auto value = lookUp(pathOf(path), section, key);
    return copyOut(value ? std::u16string_view(*value) : view(def), out, size);
}

UINT GetPrivateProfileIntW(const char16_t* section, const char16_t* key, int def, const char16_t* path) {
    const auto value = lookUp(pathOf(path), section, key);
    if (!value || value->empty())
        return static_cast<UINT>(def);
    return static_cast<UINT>(_wtoi(value->c_str()));
}

BOOL WritePrivateProfileStringW(const char16_t* section, const char16_t* key, const char16_t* value,
                                const char16_t* path) {
    if (!section || !path || !*path)
        return FALSE;
    Change change{std::u16string(section), std::nullopt, std::nullopt};
    if (key)
        change.key = std::u16string(key);
    if (key && value)
        change.value = std::u16string(value);
    std::lock_guard lock(g_profileLock);
    return writeChange(pathOf(path), std::move(change));
}

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* def, char* out, DWORD size,
                               const char* path) {
    std::optional<std::u16string> value;
    if (section && key && path && *path) {
        const std::u16string wideSection = toWide(std::string_view(section));
        const std::u16string wideKey = toWide(std::string_view(key));
        std::lock_guard lock(g_profileLock);
        value = readValue(path, wideSection, wideKey);
    }
    if (!value)
        return copyOut(std::string_view(def ? def : ""), out, size);
    return copyOut(std::string_view(fromWide<char>(*value)), out, size);
}

BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value, const char* path) {
    if (!section || !path || !*path)
        return FALSE;
    Change change{toWide(std::string_view(section)), std::nullopt, std::nullopt};
    if (key)
        change.key = toWide(std::string_view(key));
    if (key && value)
        change.value = toWide(std::string_view(value));
    std::lock_guard lock(g_profileLock);
    return writeChange(path, std::move(change));
}

namespace platform {

bool flushProfileWrites(int waitMs) {
    std::unique_lock lock(g_profileLock);
    return g_pendingWritten.wait_for(lock, std::chrono::milliseconds(waitMs),
                                     [] { return g_pending.empty(); });
}

unsigned profileFileReadsForTests() {
    std::lock_guard lock(g_profileLock);
    return g_fileReads;
}

} // namespace platform

int _wtoi(const char16_t* text) {
    if (!text)
        return 0;
    while (*text == u' ' || (*text >= u'\t' && *text <= u'\r'))
        ++text;
    const bool negative = *text == u'-';
    if (*text == u'-' || *text == u'+')
        ++text;
    constexpr long long limit = static_cast<long long>(INT_MAX) + 1; // magnitude of INT_MIN
    long long magnitude = 0;
    for (; *text >= u'0' && *text <= u'9'; ++text)
        magnitude = std::min(limit, magnitude * 10 + (*text - u'0'));
    if (negative)
        return static_cast<int>(-magnitude);
    return static_cast<int>(std::min<long long>(magnitude, INT_MAX));
}
