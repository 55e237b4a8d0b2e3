// SPDX-License-Identifier: MIT
#pragma once

#include "core/display_choices.h"
#include "dialog/layout.h"

#include <QWidget>
#include <array>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace vexalo {

// The program's only window: the user's display choices and the three command buttons.
// A plain top-level widget, not a dialog, so Enter and Escape have no window-wide meaning;
// screen readers still see a dialog.
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
    void BuildControls();
    void ConnectEvents();
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
    std::array<QWidget*, kControls.size()> controls_{}; // row by row, as the table lists them
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
