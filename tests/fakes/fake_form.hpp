#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "app/main_form.hpp"
#include "ports/form.hpp"

namespace gantrylux::testing {

// A window without widgets. Like the real one, changing a control runs its change handler
// once a MainForm is attached.
class FakeForm : public Form {
  public:
    void attach(MainForm& mainForm) { mainForm_ = &mainForm; }

    void setCaption(const std::string& text) override { caption = text; }
    void showProgramIcon() override { iconShown = true; }
    void loadCustomPointer(const std::string& path) override {
        if (failPointer) {
            throw std::runtime_error("Cannot read " + path);
        }
        customPointer = path;
    }
    void applySkin(const std::string& path) override {
        if (failSkin) {
            throw std::runtime_error("Cannot read " + path);
        }
        skin = path;
    }
    std::string startButtonCaption() const override { return startCaption; }
    void setStartButtonCaption(const std::string& text) override {
        startCaption = text;
        startCaptions.push_back(text);
    }
    void setStartButtonTip(const std::string& tip) override { startButtonTip = tip; }
    void setPointer(WindowPointer value) override { pointer = value; }
    void addColumn(ListId list, const std::string& heading) override {
        columns[static_cast<int>(list)].push_back({heading, 0});
    }
    void setColumnWidth(ListId list, int column, int twips) override {
        columns[static_cast<int>(list)].at(static_cast<std::size_t>(column - 1)).twips = twips;
    }
    bool endlessChecked() const override { return endless; }
    void setEndlessChecked(bool checked) override {
        if (checked != endless) {
            endless = checked;
            if (mainForm_)
                mainForm_->Check3_Click();
        }
    }
    std::string intervalText() const override { return interval; }
    void setIntervalText(const std::string& text) override {
        if (text != interval) {
            interval = text;
            if (mainForm_)
                mainForm_->Text1_Change();
        }
    }
    void focusIntervalText() override { intervalFocused = true; }
    std::optional<std::size_t> selectedRow(ListId list) const override {
        return selected[static_cast<int>(list)];
    }
    void selectRow(ListId list, std::size_t row) override {
        selected[static_cast<int>(list)] = row;
    }
    void announce(const std::string& text) override { announced.push_back(text); }
    DisplayOption displayOption() const override { return option; }
    void selectDisplayOption(DisplayOption value) override {
        if (value != option) {
            option = value;
            if (mainForm_)
                mainForm_->Option_Click(value);
        }
    }

    struct Column {
        std::string heading;
        int twips;
    };
    std::string caption;
    bool iconShown = false;
    std::string customPointer;
    std::string skin;
    std::string startButtonTip;
    std::vector<std::string> announced;
    bool failPointer = false;
    bool failSkin = false;
    std::string startCaption = "Start Opening";
    std::vector<std::string> startCaptions;
    WindowPointer pointer = WindowPointer::Default;
    std::vector<Column> columns[2];
    bool endless = false;
    std::string interval = "1";
    bool intervalFocused = false;
    std::optional<std::size_t> selected[2];
    DisplayOption option = DisplayOption::Normal;

  private:
    MainForm* mainForm_ = nullptr;
};

}  // namespace gantrylux::testing
