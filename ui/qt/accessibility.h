// What assistive technology sees of the window beyond each control's own name and role.
#pragma once

#include <QWidget>

namespace qrv::qt {

// Leaves a widget that only decorates (an etched line or frame) out of the accessible tree, so
// that a screen reader does not announce it.
void HideFromAssistiveTechnology(QWidget* decoration);

// Shows a container as a named group of the controls in it.
void ShowAsGroup(QWidget* container, const char* name);

// Says a short sentence to a screen reader without taking the focus or drawing anything: a
// notification that shows inside a status bar, which Orca speaks as it is. A change of a
// control's name or description reaches Orca only for the focused control, and Qt 6.4 sends the
// control instead of the new text with it, so Orca speaks nothing for those.
class Announcer final : public QWidget {
public:
    explicit Announcer(QWidget* parent);
    void Announce(const QString& sentence);

private:
    QWidget* notification_;
};

// Installs, once, what the two calls above need, and makes a plain widget that is a window
// show as a frame, as a main window does; before the first widget is created.
void InstallAccessibility();

}  // namespace qrv::qt
