#pragma once

#include <exception>
#include <string>
#include <string_view>
#include <utility>

#include "ports/desktop.hpp"

namespace gantrylux {

// The text of the uniform failure report: description, CR LF, where it happened, CR CR, and
// the request to send it to support.
std::string FormatErrorReport(std::string_view description, std::string_view identity, int step);

// Shows the failure report as a modal box: "Application Error", exclamation icon, OK.
void ReportFailure(Desktop& desktop, std::string_view description, std::string_view identity,
                   int step);

// A trapped handler: a sequence of numbered steps. A step that throws is reported with its
// number and the handler carries on with the next step; a failure outside any step reports 0.
class Procedure {
  public:
    Procedure(std::string identity, Desktop& desktop)
        : identity_(std::move(identity)), desktop_(desktop) {}

    // Runs one numbered step. Returns false when it failed (and was reported).
    template <typename Body>
    bool step(int number, Body&& body) {
        current_ = number;
        try {
            std::forward<Body>(body)();
            return true;
        } catch (const std::exception& failure) {
            report(failure.what());
        } catch (...) {
            report("Unknown failure");
        }
        return false;
    }

    int currentStep() const noexcept { return current_; }
    // How many failures have been reported so far.
    int failures() const noexcept { return failures_; }
    const std::string& identity() const noexcept { return identity_; }

  private:
    void report(std::string_view description);

    std::string identity_;
    Desktop& desktop_;
    int current_ = 0;
    int failures_ = 0;
};

}  // namespace gantrylux
