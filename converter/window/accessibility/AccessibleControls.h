#pragma once

class QWidget;

// What assistive tools are told of the window's own kinds of control: the
// quality slider's track LblBack is a slider with a value, and a label that
// opens a web page when clicked is a link to press.

// Has Qt ask here first for a control's interface; once per program, any
// later call does nothing.
void InstallAccessibleControls();

// A label announces its text while it is being built, before it is known
// for what it is; the interface made then is dropped, so that the next one
// asked for comes from the interfaces above.
void ForgetAccessible(QWidget* widget);
