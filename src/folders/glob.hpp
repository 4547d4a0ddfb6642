#pragma once

#include <string_view>

namespace gantrylux {

// Matches a name against a pattern of "*" (any run) and "?" (one unit), comparing the other
// units with `same`. As in a directory search, "*.*" matches every name and a final ".*" may
// also match nothing, so "a.*" matches "a".
template <typename Char, typename Same>
bool MatchesPatternWith(std::basic_string_view<Char> name, std::basic_string_view<Char> pattern,
                        Same same) {
    const auto glob = [&same](std::basic_string_view<Char> n, std::basic_string_view<Char> p) {
        constexpr auto npos = std::basic_string_view<Char>::npos;
        std::size_t at = 0;
        std::size_t patternAt = 0;
        std::size_t starAt = npos;
        std::size_t resumeAt = 0;
        while (at < n.size()) {
            if (patternAt < p.size() && (p[patternAt] == Char('?') || same(p[patternAt], n[at]))) {
                ++at;
                ++patternAt;
            } else if (patternAt < p.size() && p[patternAt] == Char('*')) {
                starAt = patternAt++;
                resumeAt = at;
            } else if (starAt != npos) {
                patternAt = starAt + 1;
                at = ++resumeAt;
            } else {
                return false;
            }
        }
        while (patternAt < p.size() && p[patternAt] == Char('*')) {
            ++patternAt;
        }
        return patternAt == p.size();
    };
    const Char everything[] = {Char('*'), Char('.'), Char('*')};
    if (pattern == std::basic_string_view<Char>(everything, 3) ||
        pattern == std::basic_string_view<Char>(everything, 1)) {
        return true;
    }
    if (glob(name, pattern)) {
        return true;
    }
    return pattern.ends_with(std::basic_string_view<Char>(everything + 1, 2)) &&
           glob(name, pattern.substr(0, pattern.size() - 2));
}

}  // namespace gantrylux
