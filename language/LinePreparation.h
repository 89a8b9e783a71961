#pragma once
#include <QString>

// The script line prepared from a catalogue node's text and the value box's
// whole text; "" when the node prepares nothing.
QString PrepareLine(const QString& nodeText, const QString& value);
