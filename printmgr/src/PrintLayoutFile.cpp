#include "PrintLayoutFile.h"

#include "ReplaceFile.h"
#include "printmgr/PrintManagerStrings.h"

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

bool parseNumber(const std::string& text, long long low, long long high, int& number)
{
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || at != end || value < low || value > high)
        return false;
    number = static_cast<int>(value);
    return true;
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
    if (count != 6 || !parseNumber(field[0], 1, 1 << 30, id) || !parseNumber(field[1], 0, 1, visible) ||
        !parseNumber(field[2], -kMaxMillimetres, kMaxMillimetres, placement.left) ||
        !parseNumber(field[3], -kMaxMillimetres, kMaxMillimetres, placement.top) ||
        !parseNumber(field[4], 0, kMaxMillimetres, placement.width) ||
        !parseNumber(field[5], 0, kMaxMillimetres, placement.height))
        return false;
    placement.visible = visible == 1;
    return true;
}

void parseSection(const std::string& key, StoredLayout& stored)
{
    const std::string& bytes = stored.bytes;
    bool inSection = false;
    bool sectionSeen = false;
    bool outputSeen = false;
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t lineStart = start;
        size_t end = bytes.find('\n', start);
        const size_t next = end == std::string::npos ? bytes.size() : end + 1;
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        start = next;

        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            // The first section of the key counts; a later one is left alone.
            if (inSection)
                stored.sectionEnd = lineStart;
            inSection = !sectionSeen && line.substr(1, line.size() - 2) == key;
            sectionSeen = sectionSeen || inSection;
            continue;
        }
        if (!inSection || line.empty())
            continue;
        const auto equals = line.find('=');
        const std::string name = line.substr(0, equals);
        const std::string value = equals == std::string::npos ? std::string() : line.substr(equals + 1);
        bool understood = false;
        if (equals != std::string::npos && name == "output" && !outputSeen) {
            stored.output = value;
            outputSeen = understood = true;
        } else if (equals != std::string::npos && name == "object") {
            int id = 0;
            ObjectPlacement placement;
            understood = parseObject(value, id, placement) && stored.objects.emplace(id, placement).second;
        }
        if (!understood)
            stored.notUnderstood.push_back(line);
    }
    if (inSection)
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
    if (placements.empty() || !(stored.state == StoredLayout::State::Missing || whole))
        return false;

    std::string lines;
    for (const auto& [id, p] : placements) {
        std::ostringstream line;
        line << "object=" << id << ' ' << (p.visible ? 1 : 0) << ' ' << p.left << ' ' << p.top << ' ' << p.width
             << ' ' << p.height << kLineEnd;
        lines += line.str();
    }
    std::string text = stored.bytes;
    if (stored.sectionEnd != std::string::npos) {
        if (stored.sectionEnd == text.size() && text.back() != '\n')
            lines.insert(0, kLineEnd);  // the section's last line ends the file
        text.insert(stored.sectionEnd, lines);
    } else {
        if (!text.empty() && text.back() != '\n')
            text += kLineEnd;
        text += '[' + key + ']' + kLineEnd + lines;
    }
    // A file the user may not write is refused here and stays as it is.
    return rm::replaceFile(path, [&](int fd) { return rm::writeWhole(fd, text.data(), text.size()); }) ==
           rm::ReplaceResult::Written;
}

} // namespace printmgr::layout_file
