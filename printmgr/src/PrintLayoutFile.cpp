#include "PrintLayoutFile.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

namespace printmgr::layout_file {
namespace {

using Section = std::pair<std::string, std::vector<std::string>>;

std::vector<Section> readSections(const std::string& path)
{
    std::vector<Section> sections;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']')
            sections.emplace_back(line.substr(1, line.size() - 2), std::vector<std::string>{});
        else if (!sections.empty() && !line.empty())
            sections.back().second.push_back(line);
    }
    return sections;
}

std::optional<ObjectPlacement> parseObject(const std::string& text, int& id)
{
    std::istringstream in(text);
    int visible = -1;
    ObjectPlacement placement;
    if (!(in >> id >> visible >> placement.left >> placement.top >> placement.width >> placement.height))
        return std::nullopt;
    std::string rest;
    if ((in >> rest) || (visible != 0 && visible != 1) || placement.width < 0 || placement.height < 0)
        return std::nullopt;
    placement.visible = visible == 1;
    return placement;
}

std::optional<PrintLayout> parseSection(const std::vector<std::string>& lines)
{
    PrintLayout layout;
    for (const std::string& line : lines) {
        const auto equals = line.find('=');
        if (equals == std::string::npos)
            return std::nullopt;
        const std::string name = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        if (name == "output") {
            layout.output = value;
        } else if (name == "object") {
            int id = 0;
            const auto placement = parseObject(value, id);
            if (!placement || !layout.objects.emplace(id, *placement).second)
                return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    return layout;
}

std::vector<std::string> formatSection(const PrintLayout& layout)
{
    std::vector<std::string> lines;
    if (!layout.output.empty())
        lines.push_back("output=" + layout.output);
    for (const auto& [id, p] : layout.objects) {
        std::ostringstream line;
        line << "object=" << id << ' ' << (p.visible ? 1 : 0) << ' ' << p.left << ' ' << p.top << ' '
             << p.width << ' ' << p.height;
        lines.push_back(line.str());
    }
    return lines;
}

} // namespace

std::optional<PrintLayout> load(const std::string& path, const std::string& key,
                                const std::set<int>& objectIds)
{
    for (const auto& [name, lines] : readSections(path)) {
        if (name != key)
            continue;
        auto layout = parseSection(lines);
        if (!layout)
            return std::nullopt;
        std::set<int> ids;
        for (const auto& entry : layout->objects)
            ids.insert(entry.first);
        if (ids != objectIds)
            return std::nullopt;
        return layout;
    }
    return std::nullopt;
}

bool save(const std::string& path, const std::string& key, const PrintLayout& layout)
{
    auto sections = readSections(path);
    bool replaced = false;
    for (auto& section : sections) {
        if (section.first == key && !replaced) {
            section.second = formatSection(layout);
            replaced = true;
        }
    }
    if (!replaced)
        sections.emplace_back(key, formatSection(layout));

    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        for (const auto& [name, lines] : sections) {
            out << '[' << name << "]\r\n";
            for (const auto& line : lines)
                out << line << "\r\n";
        }
        out.flush();
        if (!out) {
            out.close();
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace printmgr::layout_file
