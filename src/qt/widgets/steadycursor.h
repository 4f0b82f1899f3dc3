#pragma once
// A blinking cursor repaints its line edit twice a second, and a line edit
// lays out its whole text to paint it: with a hand-edited setting a megabyte
// long, that alone keeps a core a quarter busy. While such a field has the
// focus, the cursor stands still.

class QLineEdit;

namespace qm
{

// Texts longer than this keep the cursor from blinking in their field.
inline constexpr int SteadyCursorLength = 4096;

void KeepCursorSteadyWhenLong(QLineEdit *field);

} // namespace qm
