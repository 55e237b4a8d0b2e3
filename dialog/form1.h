// SPDX-License-Identifier: MIT
#pragma once

#include "core/display_choices.h"
#include "dialog/fit_layout.h"
#include "dialog/layout.h"

#include <QWidget>
#include <array>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace vexalo {

// The program's only window: the user's display choices and the three command buttons.
// A plain top-level widget, not a dialog, so Enter and Escape have no window-wide meaning;
// screen readers still see a dialog.
//
// Its controls keep the names the layout table, config.txt's readers and the tests know them
// by: Frame1 "Resolution" holds Option2..Option4 (800 x 600, 1024 x 768, 1600 x 1200), while
// Option1 (640 x 480) lies over it as a child of the window; Frame2 "Other screen settings"
// holds Option5 and Option6 (16 and 32 bpp) and Check1 (full screen); Command1 is Save,
// Command2 Save and Start, Command3 Cancel. Event procedures are named after the control
// and the event: Option3_Click.
class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);

    // The choices the controls show.
    const DisplayChoices& choices() const { return choices_; }

    // Closes the window; the program then ends with `exitStatus`.
    void Unload(int exitStatus = 0);

    // The status the program ends with: 0 unless a command failed.
    int exitStatus() const { return exitStatus_; }

protected:
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateControls();
    void TakeControls();
    void FitToFont();
    void ChainTabOrder();
    void ConnectEvents();
    // Ends the program with `status`, if the command gave one.
    void Finish(std::optional<int> status);
    void ShowChoices();
    void Select(int option);

    void Form1_Load();
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void Option4_Click();
    void Option5_Click();
    void Option6_Click();
    void Check1_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    DisplayChoices choices_;
    LayoutControls controls_{}; // row by row, as the table lists them
    std::array<QRadioButton*, kOptionCount> options_{};
    QGroupBox* frame1_ = nullptr;
    QCheckBox* check1_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
    QPushButton* command3_ = nullptr;
    QButtonGroup* resolutionGroup_ = nullptr;
    QButtonGroup* depthGroup_ = nullptr;
    int exitStatus_ = 0;
};

} // namespace vexalo
