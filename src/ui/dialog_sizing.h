// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sizes that follow the font in use, so that no scale factor or font cuts a
// title or a field.

class QBoxLayout;
class QDialog;
class QLineEdit;

namespace korvalin {

// Makes `field` wide enough to show `chars` of its widest capital letter.
void ShowCharsInField(QLineEdit& field, int chars);

// Adds to `layout`, the dialog's outer layout, room for the window title in
// its bold title-bar form beside the window buttons.
void ReserveTitleWidth(QDialog& dialog, QBoxLayout& layout);

}  // namespace korvalin
