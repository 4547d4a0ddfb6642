#include "base/procedure.hpp"

#include "base/product.hpp"

namespace gantrylux {

std::string FormatErrorReport(std::string_view description, std::string_view identity, int step) {
    std::string text;
    text.append(description);
    text.append("\r\n");
    text.append("in ");
    text.append(identity);
    text.append(" at line ");
    text.append(std::to_string(step));
    text.append("\r\r");
    text.append("Please email screenshot of this message to ");
    text.append(kSupportEmail);
    return text;
}

void ReportFailure(Desktop& desktop, std::string_view description, std::string_view identity,
                   int step) {
    desktop.messageBox(FormatErrorReport(description, identity, step), message_style::kExclamation,
                       "Application Error");
}

void Procedure::report(std::string_view description) {
    ++failures_;
    ReportFailure(desktop_, description, identity_, current_);
}

}  // namespace gantrylux
