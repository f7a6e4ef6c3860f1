// SPDX-License-Identifier: GPL-3.0-or-later
// Keyboard conventions shared by the input dialogs, so that they can be filled in from the
// keyboard like a paper form:
//   - Enter moves on to the next control (SimulateEnter), in number fields only digits, "-"
//     and backspace can be typed (SimulateEnterZahlen), and Enter in the last field jumps to
//     the button that finishes the input (SimulateEnterLetzte);
//   - the Up and Down arrow keys move to the previous and next control (SimulateUpDown).
//
// "Next" and "previous" follow the window's focus chain (the tab order, which the dialog sets
// up with QWidget::setTabOrder or by creating its controls in that order), across group boxes,
// wrapping from the last control to the first and back, and skipping every control that is
// hidden, disabled or no tab stop. If no other control qualifies, the focus stays put.
//
// The focus moves exactly as with Tab: the leaving field gets its FocusOut (reason
// Qt::TabFocusReason, Qt::BacktabFocusReason for Up), the new control its FocusIn. A field
// whose exit check refuses the value shows its message and calls setFocus() on itself from
// its FocusOut handler; the focus then stays on that field.
//
// Each binding installs one event filter on the control; bind a control once, before it is
// shown. Keys a control is not bound for keep the control's own behaviour (a drop-down list
// bound without UpDown::Move keeps its arrow keys for choosing). Tab, Escape and accelerators
// are never touched, so the dialog's cancel button keeps answering Escape; an Alt+letter whose
// button is disabled reaches the control and is swallowed there.
//
// Example, the entry dialog:
//   bindSimulateEnter(EditName, UpDown::Move);
//   bindSimulateEnterZahlen(EditJahrgang, UpDown::Move);
//   bindSimulateEnter(EditGeschlecht, UpDown::Keep);
//   bindSimulateEnterLetzte(EditMeldezeit, ButtonNew, nullptr, Typing::DigitsOnly, UpDown::Move);
// and the club dialog's last field:
//   bindSimulateEnterLetzte(EditEMail, ButtonOk, ButtonEsc, Typing::Free, UpDown::Move);
#pragma once

class QWidget;

// Whether the arrow keys Up and Down move the focus (SimulateUpDown) or stay the control's.
enum class UpDown { Keep, Move };
// What SimulateEnterLetzte lets through besides Enter.
enum class Typing { Free, DigitsOnly };

// Enter moves to the next control; every other key passes.
void bindSimulateEnter(QWidget* control, UpDown upDown);

// Enter moves to the next control; of the typed characters only backspace, "-" and the digits
// pass (clipboard shortcuts are swallowed too). Keys that type nothing, such as the cursor
// keys and Delete, keep working.
void bindSimulateEnterZahlen(QWidget* control, UpDown upDown);

// Enter makes `target` the active control, or `fallback` while `target` is disabled (with no
// fallback, always `target`). Other characters pass freely or are filtered as in
// bindSimulateEnterZahlen.
void bindSimulateEnterLetzte(QWidget* control, QWidget* target, QWidget* fallback, Typing typing,
                             UpDown upDown);

// The control that Enter (forward) or the Up arrow (backward) moves to from `from`; `from`
// itself when no other control qualifies.
QWidget* neighbourControl(QWidget* from, bool forward);
