#include "PrintLayoutFile.h"

#include "ReplaceFile.h"
#include "printmgr/PrintManagerStrings.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace printmgr::layout_file {
namespace {

constexpr char kLineEnd[] = "\r\n";
// A layout file is a few hundred bytes; anything near this is not one.
constexpr size_t kMaxFileBytes = 1 << 20;

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

// A whole decimal number; the reader's ranges are checked afterwards.
bool parseNumber(const std::string& text, int& number)
{
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, number);
    return error == std::errc() && at == end;
}

// "<id> <visible 0|1> <left> <top> <width> <height>", every number in range.
bool parseObject(const std::string& text, int& id, ObjectPlacement& placement)
{
    std::istringstream in(text);
    std::string field[7];
    int count = 0;
    while (count < 7 && in >> field[count])
        ++count;
    int visible = 0;
    if (count != 6 || !parseNumber(field[0], id) || id < 1 || !parseNumber(field[1], visible) || visible < 0 ||
        visible > 1 || !parseNumber(field[2], placement.left) || !parseNumber(field[3], placement.top) ||
        !parseNumber(field[4], placement.width) || !parseNumber(field[5], placement.height))
        return false;
    placement.visible = visible == 1;
    return readable(placement);
}

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool sameIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// One line of `bytes` from `start`: its text and where the next line begins.
// CR LF, LF and CR alone each end a line.
std::string nextLine(const std::string& bytes, size_t& start)
{
    const size_t end = std::min(bytes.find_first_of("\r\n", start), bytes.size());
    std::string line = bytes.substr(start, end - start);
    start = end;
    if (start < bytes.size() && bytes[start] == '\r')
        ++start;
    if (start < bytes.size() && bytes[start] == '\n' && (start == end || bytes[start - 1] == '\r'))
        ++start;
    return line;
}

void parseSection(const std::string& key, StoredLayout& stored)
{
    const std::string& bytes = stored.bytes;
    enum class Place { BeforeSections, KeySection, OtherSection } place = Place::BeforeSections;
    bool sectionSeen = false;
    bool outputSeen = false;
    size_t start = bytes.starts_with(kByteOrderMark) ? sizeof kByteOrderMark - 1 : 0;
    while (start < bytes.size()) {
        const size_t lineStart = start;
        const std::string line = trimmed(nextLine(bytes, start));
        const bool bracketed = !line.empty() && line.front() == '[';
        if (bracketed && line.size() >= 2 && line.back() == ']') {
            // The first section of the key counts; a later one is left alone.
            if (place == Place::KeySection)
                stored.sectionEnd = lineStart;
            const bool ours = !sectionSeen && sameIgnoringCase(trimmed(line.substr(1, line.size() - 2)), key);
            place = ours ? Place::KeySection : Place::OtherSection;
            sectionSeen = sectionSeen || ours;
            continue;
        }
        if (line.empty() || (place == Place::OtherSection && !bracketed))
            continue;
        if (place == Place::BeforeSections && !bracketed && (line.front() == ';' || line.front() == '#'))
            continue;
        const auto equals = line.find('=');
        const std::string name = trimmed(line.substr(0, equals));
        const std::string value = equals == std::string::npos ? std::string() : trimmed(line.substr(equals + 1));
        bool understood = false;
        if (place != Place::KeySection || equals == std::string::npos) {
            // A section line mistyped, or a line outside every section.
        } else if (name == "output" && !outputSeen) {
            stored.output = value;
            outputSeen = understood = true;
        } else if (name == "object") {
            int id = 0;
            ObjectPlacement placement;
            understood = parseObject(value, id, placement) && stored.objects.emplace(id, placement).second;
        }
        if (!understood)
            stored.notUnderstood.push_back(line);
    }
    if (place == Place::KeySection)
        stored.sectionEnd = bytes.size();
}

// The file's bytes up to kMaxFileBytes; `problem` says why they are not all.
std::string readWhole(int fd, std::string& problem)
{
    std::string bytes;
    char block[4096];
    for (;;) {
        const ssize_t n = ::read(fd, block, sizeof block);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            problem = std::strerror(errno);
        if (n <= 0)
            return bytes;
        bytes.append(block, static_cast<size_t>(n));
        if (bytes.size() > kMaxFileBytes) {
            problem = PrintManagerStrings::LayoutTooLarge;
            return bytes;
        }
    }
}

} // namespace

bool readable(const ObjectPlacement& p)
{
    const auto within = [](int value, int low) { return value >= low && value <= kMaxMillimetres; };
    return within(p.left, -kMaxMillimetres) && within(p.top, -kMaxMillimetres) && within(p.width, 0) &&
           within(p.height, 0);
}

StoredLayout read(const std::string& path, const std::string& key)
{
    StoredLayout stored;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT) {
            stored.state = StoredLayout::State::Unreadable;
            stored.problem = std::strerror(errno);
        }
        return stored;
    }
    struct stat st {};
    stored.state = StoredLayout::State::Unreadable;
    if (::fstat(fd, &st) != 0)
        stored.problem = std::strerror(errno);
    else if (!S_ISREG(st.st_mode))
        stored.problem = PrintManagerStrings::NotRegularFile;
    else
        stored.bytes = readWhole(fd, stored.problem);
    ::close(fd);
    if (stored.problem.empty()) {
        stored.state = StoredLayout::State::Read;
        parseSection(key, stored);
    }
    return stored;
}

bool addObjects(const std::string& path, const std::string& key, const StoredLayout& stored,
                const std::map<int, ObjectPlacement>& placements)
{
    const bool whole = stored.state == StoredLayout::State::Read && stored.notUnderstood.empty();
    if (!(stored.state == StoredLayout::State::Missing || whole))
        return false;

    std::string lines;
    for (const auto& [id, p] : placements) {
        if (id < 1 || !readable(p))
            continue;
        std::ostringstream line;
        line << "object=" << id << ' ' << (p.visible ? 1 : 0) << ' ' << p.left << ' ' << p.top << ' ' << p.width
             << ' ' << p.height << kLineEnd;
        lines += line.str();
    }
    if (lines.empty())
        return false;
    std::string text = stored.bytes;
    const auto unended = [&text] { return !text.empty() && text.back() != '\n' && text.back() != '\r'; };
    if (stored.sectionEnd != std::string::npos) {
        if (stored.sectionEnd == text.size() && unended())
            lines.insert(0, kLineEnd);  // the section's last line ends the file
        text.insert(stored.sectionEnd, lines);
    } else {
        if (unended())
            text += kLineEnd;
        text += '[' + key + ']' + kLineEnd + lines;
    }
    // A file the user may not write is refused here and stays as it is.
    return rm::replaceFile(path, [&](int fd) { return rm::writeWhole(fd, text.data(), text.size()); }) ==
           rm::ReplaceResult::Written;
}

} // namespace printmgr::layout_file
