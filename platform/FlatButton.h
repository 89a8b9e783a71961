#pragma once
#include <QPushButton>

// A command drawn flat with a tooltip. Behind it may lie a push button that
// is never shown (its twin): same caption and place, same handler, so code
// can click either one.
class FlatButton : public QPushButton {
    Q_OBJECT
public:
    FlatButton(const QString& caption, const QString& toolTip, QWidget* parent);
};

// Creates the hidden push-button twin of a flat button: same caption and
// geometry, never shown and kept out of the accessibility tree (so neither
// the keyboard nor a screen reader finds it), its clicked signal wired to the
// same handler by the caller.
QPushButton* makeHiddenTwin(const QString& objectName, const FlatButton* flat, QWidget* parent);
