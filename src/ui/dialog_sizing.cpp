// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialog_sizing.h"

#include <QBoxLayout>
#include <QDialog>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

namespace korvalin {

namespace {

// The close, and often minimise and maximise, buttons and the icon, in
// lines of text: title bars scale them with the font.
constexpr int TITLE_BAR_BUTTON_LINES = 6;

}  // namespace

void ShowCharsInField(QLineEdit& field, int chars) {
    const QFontMetrics metrics = field.fontMetrics();
    QStyleOptionFrame option;
    option.initFrom(&field);
    const QSize text(metrics.horizontalAdvance(QString(chars, 'W')), metrics.height());
    const QMargins margins = field.textMargins();
    // A line edit keeps a few pixels of its own beside the frame.
    const int width = field.style()
                          ->sizeFromContents(QStyle::CT_LineEdit, &option,
                                             text + QSize(margins.left() + margins.right() + 4, 0),
                                             &field)
                          .width();
    field.setMinimumWidth(width);
}

void ReserveTitleWidth(QDialog& dialog, QBoxLayout& layout) {
    QFont bold = dialog.font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    const int width = metrics.horizontalAdvance(dialog.windowTitle()) +
                      TITLE_BAR_BUTTON_LINES * metrics.height();
    layout.addSpacerItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed));
}

}  // namespace korvalin
