#include "qt/widgets/formbuilder.h"

#include "qt/widgets/ansi.h"
#include "qt/widgets/appicon.h"
#include "qt/widgets/fonts.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeView>

#include <limits>

namespace qm
{
namespace
{

int px(int twips)
{
    return TwipsToPixels(twips, DesignDpi);
}

QString qs(std::string_view text)
{
    return fromAnsi(text);
}

} // namespace

QWidget *BuildControl(QWidget &window, std::string_view name, ControlKind kind,
                      std::string_view caption, TwipsRect rect, const FontFace &font,
                      bool isDefault, int faceColour)
{
    QWidget *w = nullptr;
    int height = px(rect.height);
    switch (kind) {
    case ControlKind::Label: {
        auto *label = new QLabel(qs(caption), &window);
        // Status texts hold rendered control characters such as "<STX>".
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        w = label;
        break;
    }
    case ControlKind::TextField: {
        auto *field = new QLineEdit(qs(caption), &window);
        field->setMaxLength(std::numeric_limits<int>::max());
        // A field several lines high still holds one line, at its top.
        if (rect.height > 375)
            field->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        w = field;
        break;
    }
    case ControlKind::ChoiceList:
    case ControlKind::DriveList:
        w = new QComboBox(&window); // picks only, no typing
        break;
    case ControlKind::Button: {
        auto *button = new QPushButton(qs(caption), &window);
        button->setDefault(isDefault);
        if (faceColour >= 0) {
            QPalette palette = button->palette();
            palette.setColor(QPalette::Button, QColor(QRgb(unsigned(faceColour))));
            button->setPalette(palette);
            button->setAutoFillBackground(true);
        }
        w = button;
        break;
    }
    case ControlKind::Separator: {
        auto *line = new QFrame(&window);
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        height = SeparatorPixels;
        w = line;
        break;
    }
    case ControlKind::Image: {
        auto *image = new QLabel(&window);
        image->setPixmap(applicationIcon().pixmap(QSize(px(rect.width), px(rect.height))));
        image->setScaledContents(true);
        w = image;
        break;
    }
    case ControlKind::FolderList:
        w = new QTreeView(&window);
        break;
    }
    w->setObjectName(qs(name));
    w->setGeometry(px(rect.left), px(rect.top), px(rect.width), height);
    if (!font.family.empty()) {
        QFont f(qs(font.family));
        f.setPointSizeF(font.points);
        f.setBold(font.bold);
        w->setFont(f);
    }
    return w;
}

void SetUpWindow(QWidget &window, std::string_view name, std::string_view caption, int width,
                 int height, FormIcon icon)
{
    // Before any font is set: the designed faces may be missing here.
    EnsureFontSubstitutions();
    window.setObjectName(qs(name));
    window.setWindowTitle(qs(caption));
    window.setWindowIcon(FormIconImage(icon));
    window.setFixedSize(px(width), px(height));
}

QMenu *BuildMenu(QWidget &window, const MenuFace &face, QObject *context,
                 std::function<void(MenuCommand)> chosen)
{
    auto *menu = new QMenu(qs(face.caption), &window);
    menu->setObjectName(qs(face.name));
    for (const MenuEntryFace &e : face.entries) {
        QAction *action = e.command ? menu->addAction(qs(e.caption)) : menu->addSeparator();
        action->setObjectName(qs(e.name));
        if (!e.command)
            continue;
        if (e.isDefault)
            menu->setDefaultAction(action);
        if (e.shortcut.key) {
            const Qt::KeyboardModifiers modifiers =
                e.shortcut.ctrl ? Qt::ControlModifier : Qt::NoModifier;
            action->setShortcut(QKeyCombination(modifiers, Qt::Key(e.shortcut.key)));
            action->setShortcutContext(Qt::WindowShortcut);
            window.addAction(action);
        }
        const MenuCommand command = *e.command;
        QObject::connect(action, &QAction::triggered, context,
                         [chosen, command] { chosen(command); });
    }
    return menu;
}

} // namespace qm
