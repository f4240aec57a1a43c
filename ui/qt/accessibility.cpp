#include "ui/qt/accessibility.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace qrv::qt {

namespace {

constexpr char kDecoration[] = "qrvDecoration";
constexpr char kGroup[] = "qrvGroup";
constexpr char kRole[] = "qrvRole";

// A plain container that lists its controls and leaves its decorations out.
class ContainerWithoutDecorations final : public QAccessibleWidget {
public:
    ContainerWithoutDecorations(QWidget* container, QAccessible::Role role)
        : QAccessibleWidget(container, role) {}

    int childCount() const override { return static_cast<int>(Shown().size()); }

    QAccessibleInterface* child(int index) const override {
        const QList<QWidget*> shown = Shown();
        if (index < 0 || index >= shown.size()) {
            return nullptr;
        }
        return QAccessible::queryAccessibleInterface(shown[index]);
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child == nullptr || !child->object() || !child->object()->isWidgetType()) {
            return -1;
        }
        return static_cast<int>(Shown().indexOf(static_cast<QWidget*>(child->object())));
    }

private:
    QList<QWidget*> Shown() const {
        QList<QWidget*> shown;
        for (QObject* object : widget()->children()) {
            if (!object->isWidgetType() || object->property(kDecoration).toBool()) {
                continue;
            }
            auto* child = static_cast<QWidget*>(object);
            if (!child->isWindow()) {
                shown.append(child);
            }
        }
        return shown;
    }
};

bool HasDecorations(const QWidget* widget) {
    for (const QObject* child : widget->children()) {
        if (child->property(kDecoration).toBool()) {
            return true;
        }
    }
    return false;
}

// Plain widgets of the window: the window itself, the named group and the containers of
// decorations; the others are left to Qt.
QAccessibleInterface* PlainWidgetFactory(const QString& className, QObject* object) {
    if (className != QLatin1String("QWidget") || object == nullptr || !object->isWidgetType()) {
        return nullptr;
    }
    auto* widget = static_cast<QWidget*>(object);
    // A plain widget as a top-level window is the program's window: a frame, with its caption
    // as its name, which a screen reader announces when the window comes up.
    if (widget->isWindow()) {
        return new QAccessibleWidget(widget, QAccessible::Window);
    }
    if (const QVariant role = widget->property(kRole); role.isValid()) {
        return new QAccessibleWidget(widget, static_cast<QAccessible::Role>(role.toInt()));
    }
    const bool group = widget->property(kGroup).toBool();
    if (!group && !HasDecorations(widget)) {
        return nullptr;
    }
    return new ContainerWithoutDecorations(widget,
                                           group ? QAccessible::Grouping : QAccessible::Client);
}

}  // namespace

void HideFromAssistiveTechnology(QWidget* decoration) {
    decoration->setProperty(kDecoration, true);
}

void ShowAsGroup(QWidget* container, const char* name) {
    container->setProperty(kGroup, true);
    container->setAccessibleName(QString::fromLatin1(name));
}

Announcer::Announcer(QWidget* parent) : QWidget(parent), notification_(new QWidget(this)) {
    setProperty(kRole, QAccessible::StatusBar);
    notification_->setProperty(kRole, QAccessible::Notification);
    // Nothing to see or to click: the two exist only for assistive technology.
    setGeometry(0, 0, 0, 0);
    notification_->setGeometry(0, 0, 0, 0);
    notification_->hide();
}

void Announcer::Announce(const QString& sentence) {
    if (sentence.isEmpty()) {
        return;
    }
    // A screen reader speaks the notification when it shows, with the name it has then.
    notification_->hide();
    notification_->setAccessibleName(sentence);
    notification_->show();
}

void InstallAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(PlainWidgetFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace qrv::qt
