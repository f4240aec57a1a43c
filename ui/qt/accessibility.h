// What assistive technology sees of the window beyond each control's own name and role.
#pragma once

class QWidget;

namespace qrv::qt {

// Leaves a widget that only decorates (an etched line or frame) out of the accessible tree, so
// that a screen reader does not announce it.
void HideFromAssistiveTechnology(QWidget* decoration);

// Shows a container as a named group of the controls in it.
void ShowAsGroup(QWidget* container, const char* name);

// Installs, once, what the two calls above need, and makes a plain widget that is a window
// show as a frame, as a main window does; before the first widget is created.
void InstallAccessibility();

}  // namespace qrv::qt
