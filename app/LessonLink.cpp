#include "app/LessonLink.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

// The name ends with the extension when the extension's first occurrence is its last four
// characters (so "a.vxt.vxt" does not end with ".vxt").
bool EndsWith(const std::string& name, const char* ext)
{
    return name.size() >= 4 && name.find(ext) == name.size() - 4;
}

// The entry of dir whose name equals want without regard to case (an exact match first).
std::optional<fs::path> FindEntry(const fs::path& dir, const std::string& want)
{
    std::error_code ec;
    if (fs::exists(dir / want, ec))
        return dir / want;
    const std::string lower = Lower(want);
    for (fs::directory_iterator it(dir.empty() ? fs::path(".") : dir, ec), end; !ec && it != end;
         it.increment(ec))
        if (Lower(it->path().filename().string()) == lower)
            return dir / it->path().filename();
    return std::nullopt;
}

} // namespace

LessonLink ParseLessonLink(const std::string& line)
{
    LessonLink link;
    const size_t open = line.find('[');
    const size_t close = line.find(']');
    if (open == std::string::npos || close == std::string::npos || close <= open + 1)
        return link;
    link.name = Lower(line.substr(open + 1, close - open - 1));
    const std::string& n = link.name;
    if (EndsWith(n, ".vxt"))
        link.kind = LessonLink::Lesson;
    else if (EndsWith(n, ".hlp"))
        link.kind =
            n.substr(0, n.find('.')) == "glossary" ? LessonLink::Glossary : LessonLink::OtherHelp;
    else if (EndsWith(n, ".ns1") || EndsWith(n, ".ds1") || EndsWith(n, ".ds2") ||
             EndsWith(n, ".ds3"))
        link.kind = LessonLink::Model;
    return link;
}

std::string ResolveLinkPath(const std::string& name)
{
    if (name.empty())
        return {};
    const fs::path wanted(name);
    fs::path at = wanted.root_path();
    for (const fs::path& part : wanted.relative_path()) {
        const std::string p = part.string();
        if (p.empty() || p == "." || p == "..") {
            at /= part;
            continue;
        }
        const std::optional<fs::path> found = FindEntry(at, p);
        if (!found)
            return {};
        at = *found;
    }
    std::error_code ec;
    if (!fs::is_regular_file(at, ec))
        return {};
    const fs::path full = fs::absolute(at, ec);
    return (ec ? at : full).lexically_normal().string();
}
