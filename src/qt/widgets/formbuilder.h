#pragma once
// A window's controls made from its face table: each at its place (twips at
// 96 dots per inch, in Qt's logical pixels), with its caption, font, tab
// position, default button and face colour; the window at its fixed client
// size with its caption and icon. Menus likewise.

#include "console/face.h"

#include <QWidget>

#include <functional>
#include <vector>

class QMenu;

namespace qm
{

// One control of `kind`, a child of `window`, from a row's columns.
QWidget *BuildControl(QWidget &window, std::string_view name, ControlKind kind,
                      std::string_view caption, TwipsRect rect, const FontFace &font,
                      bool isDefault, int faceColour);
// The window's name, caption, icon and fixed size.
void SetUpWindow(QWidget &window, std::string_view name, std::string_view caption, int width,
                 int height, FormIcon icon);
// The menu of `face`, each command reported to `chosen` for as long as
// `context` lives; an entry's shortcut works in `window`.
QMenu *BuildMenu(QWidget &window, const MenuFace &face, QObject *context,
                 std::function<void(MenuCommand)> chosen);

// Every control of `face` in `window`, indexed by the control's value; the
// first control of the tab order has the focus.
template <typename Id> std::vector<QWidget *> BuildForm(QWidget &window, const FormFace<Id> &face)
{
    SetUpWindow(window, face.name, face.caption, face.clientWidth, face.clientHeight, face.icon);
    std::vector<QWidget *> controls;
    for (const ControlFace<Id> &c : face.controls)
        controls.push_back(BuildControl(window, c.name, c.kind, c.caption, c.rect, c.font,
                                        c.isDefault, c.faceColour));
    const std::vector<Id> order = face.tabOrder();
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(controls[std::size_t(order[i - 1])], controls[std::size_t(order[i])]);
    if (!order.empty())
        controls[std::size_t(order.front())]->setFocus();
    return controls;
}

} // namespace qm
