#include "app/access_keys.hpp"

#include <cctype>
#include <stdexcept>

namespace gantrylux {
namespace {

bool SameLetter(char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
}

}  // namespace

std::string CaptionWithAccessKey(std::string_view caption, char accessKey) {
    std::string marked;
    marked.reserve(caption.size() + 2);
    bool keyMarked = accessKey == 0;
    for (const char c : caption) {
        if (c == '&') {
            marked += "&&";
            continue;
        }
        if (!keyMarked && SameLetter(c, accessKey)) {
            marked += '&';
            keyMarked = true;
        }
        marked += c;
    }
    return marked;
}

std::string CaptionWithoutAccessKey(std::string_view marked) {
    std::string caption;
    caption.reserve(marked.size());
    for (std::size_t i = 0; i < marked.size(); ++i) {
        if (marked[i] == '&' && i + 1 < marked.size()) {
            ++i;  // "&x" reads "x"; "&&" reads "&"
        }
        caption += marked[i];
    }
    return caption;
}

const ControlLayout& LaidOutControl(std::string_view name) {
    for (const ControlLayout& c : kWindowLayout) {
        if (c.name == name) {
            return c;
        }
    }
    throw std::logic_error("The window has no control named " + std::string(name));
}

std::string_view AccessibleName(const ControlLayout& control) {
    return control.accessibleName.empty() ? control.caption : control.accessibleName;
}

}  // namespace gantrylux
