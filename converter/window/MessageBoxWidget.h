#pragma once

class QWidget;

// Makes MsgBox show a real modal message box, centred on owner while owner
// is shown (on the screen before, or when it is null or gone). The framewright program
// installs it at start; the engine alone only prints its messages.
void InstallMessageBoxWidget(QWidget* owner);
